#pragma once

#include "scriptedprompter.h"

#include <QQueue>

namespace kova::test {

// For the case runners: answers questions from a queue (No when it runs dry) and writes every message
// into the log, as describe() gives it.
class LoggingPrompter : public Prompter
{
public:
    explicit LoggingPrompter(QByteArray &log) : m_log(log) {}
    QQueue<Answer> answers;

    Answer ask(const Message &message) override
    {
        m_log += describe(message).toUtf8() + '\n';
        if (message.buttons == Message::Buttons::Ok)
            return Answer::Ok;
        return answers.isEmpty() ? Answer::No : answers.dequeue();
    }

private:
    QByteArray &m_log;
};

} // namespace kova::test
