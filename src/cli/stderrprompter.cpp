#include "stderrprompter.h"

#include <cstdio>

namespace kova::cli {

Answer StderrPrompter::ask(const Message &message)
{
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    if (message.buttons == Message::Buttons::Ok)
        return Answer::Ok;
    return m_rule ? m_rule(message) : Answer::No;
}

} // namespace kova::cli
