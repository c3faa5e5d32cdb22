#pragma once

#include "editorpage.h"

class QCheckBox;

namespace kova {

// The "&Numeric" page: a NUMERIC part's name, key, value name, flags and its four numbers (minimum,
// maximum, spin step and default), checked as whole numbers and written as typed.
class NumericPage : public EditorPage
{
    Q_OBJECT

public:
    explicit NumericPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;

private:
    EditorField *m_description;
    EditorField *m_min;
    EditorField *m_max;
    EditorField *m_spin;
    EditorField *m_default;
    QCheckBox *m_required;
    QCheckBox *m_textConvert;
};

} // namespace kova
