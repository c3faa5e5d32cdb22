#include "stderrprompter.h"

#include <cstdio>

namespace kova::cli {

Answer StderrPrompter::ask(const Message &message)
{
    if (message.buttons != Message::Buttons::Ok && m_rule) {
        if (const std::optional<Answer> answer = m_rule(message))
            return *answer;
    }
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return message.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::No;
}

} // namespace kova::cli
