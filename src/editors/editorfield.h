#pragma once

#include <QLineEdit>

namespace kova {

class Prompter;

// Replaces the field's text by its trimmed text and selects all of it.
void SelectAllText(QLineEdit *field);

// The text field of every editor page: a typed double quote is refused with "Quote is not allowed in
// this field" (nothing inside a field is ever escaped, so a quote would break the template), a paste
// or drop that holds one is refused, and the field is trimmed when it loses the focus. Text set by
// the program is taken as it is.
class EditorField : public QLineEdit
{
    Q_OBJECT

public:
    explicit EditorField(Prompter &prompter, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // RejectQuoteKey: true when the key was a double quote and has been refused.
    bool RejectQuoteKey(const QKeyEvent *event);

    Prompter &m_prompter;
};

} // namespace kova
