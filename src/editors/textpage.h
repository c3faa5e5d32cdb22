#pragma once

#include "editorpage.h"

namespace kova {

// The "&Text" page: the caption of a TEXT part.
class TextPage : public EditorPage
{
    Q_OBJECT

public:
    explicit TextPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;
    bool refreshesActiveKey() const override { return false; }

private:
    EditorField *m_description;
};

} // namespace kova
