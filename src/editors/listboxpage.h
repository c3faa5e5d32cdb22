#pragma once

#include "editorpage.h"

class QCheckBox;

namespace kova {

// The "&Listbox" page: a LISTBOX part's name, key, value prefix and its two flags.
class ListboxPage : public EditorPage
{
    Q_OBJECT

public:
    explicit ListboxPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;

private:
    EditorField *m_description;
    EditorField *m_prefix = nullptr;
    QCheckBox *m_explicit;
    QCheckBox *m_additive;
};

} // namespace kova
