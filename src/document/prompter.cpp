#include "prompter.h"

namespace kova {

QString iconName(Message::Icon icon)
{
    switch (icon) {
    case Message::Icon::None: return QStringLiteral("none");
    case Message::Icon::Critical: return QStringLiteral("critical");
    case Message::Icon::Exclamation: return QStringLiteral("exclamation");
    case Message::Icon::Information: return QStringLiteral("information");
    }
    return {};
}

QString buttonsName(Message::Buttons buttons)
{
    switch (buttons) {
    case Message::Buttons::Ok: return QStringLiteral("OK");
    case Message::Buttons::YesNo: return QStringLiteral("Yes/No");
    case Message::Buttons::YesNoCancel: return QStringLiteral("Yes/No/Cancel");
    }
    return {};
}

QString answerName(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QStringLiteral("OK");
    case Answer::Yes: return QStringLiteral("Yes");
    case Answer::No: return QStringLiteral("No");
    case Answer::Cancel: return QStringLiteral("Cancel");
    }
    return {};
}

} // namespace kova
