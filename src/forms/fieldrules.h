#pragma once

#include "document/prompter.h"

#include <QLocale>
#include <QString>

namespace kova {

// What a page's validation found: the field to put the focus into (a page's own field number), the
// message, and whether the focus moves before or after the message is shown.
struct FieldError
{
    enum class Focus { BeforeMessage, AfterMessage };

    int field = 0;
    QString message;
    Focus focus = Focus::BeforeMessage;
    Message::Icon icon = Message::Icon::Exclamation;

    bool operator==(const FieldError &) const = default;
};

// The message a field gives when a double quote is typed into it.
inline const Message kQuoteRefused{QStringLiteral("Quote is not allowed in this field"), Message::Icon::None,
                                   Message::Buttons::Ok};

// Whether text is a number for the "Value is not numeric" checks: an optional sign, digits, and
// optionally the locale's decimal separator followed by digits, with blanks around it. Group
// separators, exponents, hexadecimal and the empty text are refused: the number goes into the
// template as typed, and those forms would not read back as the number the user meant.
bool isNumber(const QString &text, const QLocale &locale = QLocale());

} // namespace kova
