#include "scriptedprompter.h"

#include <QTest>

namespace kova::test {

QString describe(const Message &message)
{
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    return QStringLiteral("[%1, %2] \"%3\"").arg(iconName(message.icon), buttonsName(message.buttons), text);
}

void ScriptedPrompter::expect(const Message &message, Answer answer)
{
    m_expected.enqueue({message, answer});
}

Answer ScriptedPrompter::ask(const Message &message)
{
    if (m_look)
        m_look();
    m_messages.append(message);
    if (m_expected.isEmpty()) {
        if (!m_lenient)
            QTest::qFail(qPrintable("unexpected message " + describe(message)), __FILE__, __LINE__);
        return message.buttons == Message::Buttons::Ok ? Answer::Ok : m_lenientAnswer;
    }
    const Expectation e = m_expected.dequeue();
    if (!(e.message == message)) {
        QTest::qFail(qPrintable("message " + describe(message) + "\n   expected " + describe(e.message)), __FILE__,
                     __LINE__);
    }
    return e.answer;
}

bool ScriptedPrompter::verifyDone(const char *file, int line) const
{
    if (m_expected.isEmpty())
        return true;
    QTest::qFail(qPrintable("message never shown: " + describe(m_expected.head().message)), file, line);
    return false;
}

} // namespace kova::test
