#pragma once

#include "editorpage.h"

namespace kova {

// The "&Category" page: a CATEGORY node's name and its own key.
class CategoryPage : public EditorPage
{
    Q_OBJECT

public:
    explicit CategoryPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;

private:
    EditorField *m_description;
};

} // namespace kova
