#pragma once

#include "document/prompter.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace kova::test {

// A Prompter for tests: replays queued expectations in order, records every message, and fails the
// running test on a message it did not expect (wrong text, icon, buttons, or none expected at all).
class ScriptedPrompter : public Prompter
{
public:
    // The next message must be exactly this; it is answered with answer.
    void expect(const Message &message, Answer answer = Answer::Ok);
    void expect(const QString &text, Message::Icon icon, Message::Buttons buttons = Message::Buttons::Ok,
                Answer answer = Answer::Ok)
    {
        expect(Message{text, icon, buttons}, answer);
    }
    // Accept any message without failing and answer questions with answer (corpus and fuzz-like runs).
    void allowAnything(Answer answer)
    {
        m_lenient = true;
        m_lenientAnswer = answer;
    }

    Answer ask(const Message &message) override;
    // Runs at each message before it is answered (to look at the window as the user sees it then).
    void whenAsked(std::function<void()> look) { m_look = std::move(look); }

    const QList<Message> &messages() const { return m_messages; }
    int pending() const { return int(m_expected.size()); }
    // Fails the running test when expectations were left unused; true when all were met.
    bool verifyDone(const char *file, int line) const;

private:
    struct Expectation
    {
        Message message;
        Answer answer;
    };
    QQueue<Expectation> m_expected;
    QList<Message> m_messages;
    std::function<void()> m_look;
    bool m_lenient = false;
    Answer m_lenientAnswer = Answer::No;
};

QString describe(const Message &message);

} // namespace kova::test

// Use at the end of a test: every scripted message was shown.
#define KOVA_VERIFY_PROMPTS_DONE(prompter)                                                                             \
    do {                                                                                                               \
        if (!(prompter).verifyDone(__FILE__, __LINE__))                                                                \
            return;                                                                                                    \
    } while (false)
