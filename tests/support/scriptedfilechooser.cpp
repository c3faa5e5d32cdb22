#include "scriptedfilechooser.h"

#include <QTest>

namespace kova::test {

QString ScriptedFileChooser::chooseFile(const FileRequest &request)
{
    m_requests.append(request);
    if (m_expected.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected file dialog \"%1\"").arg(request.title)), __FILE__,
                     __LINE__);
        return QString();
    }
    const Expectation e = m_expected.dequeue();
    if (e.title != request.title || e.mode != request.mode)
        QTest::qFail(qPrintable(QStringLiteral("file dialog \"%1\", expected \"%2\"").arg(request.title, e.title)),
                     __FILE__, __LINE__);
    return e.answer;
}

} // namespace kova::test
