#include "editorfield.h"

#include "forms/fieldrules.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace kova {

void SelectAllText(QLineEdit *field)
{
    const QString trimmed = field->text().trimmed();
    if (trimmed != field->text())
        field->setText(trimmed);
    field->setSelection(0, int(trimmed.size()));
}

EditorField::EditorField(Prompter &prompter, QWidget *parent) : QLineEdit(parent), m_prompter(prompter)
{
    // Typing goes through RejectQuoteKey; the validator catches what arrives by paste or drop.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"]*")), this));
}

bool EditorField::RejectQuoteKey(const QKeyEvent *event)
{
    if (!event->text().contains(u'"'))
        return false;
    m_prompter.ask(kQuoteRefused);
    return true;
}

void EditorField::keyPressEvent(QKeyEvent *event)
{
    if (RejectQuoteKey(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EditorField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    SelectAllText(this);
}

} // namespace kova
