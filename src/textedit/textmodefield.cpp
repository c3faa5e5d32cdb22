#include "textmodefield.h"

#include "textmodetext.h"

#include <QKeyEvent>

namespace kova {

TextModeField::TextModeField(QWidget *parent) : QLineEdit(parent) {}

void TextModeField::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextModeField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const QString trimmed = trimSpaces(text());
    if (trimmed != text())
        setText(trimmed);
    selectAll();
}

FieldLabel::FieldLabel(const QString &text, QWidget *buddy, QWidget *parent) : QLabel(text, parent)
{
    setBuddy(buddy);
}

void FieldLabel::mousePressEvent(QMouseEvent *event)
{
    if (buddy())
        buddy()->setFocus(Qt::MouseFocusReason);
    QLabel::mousePressEvent(event);
}

} // namespace kova
