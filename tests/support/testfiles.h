#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova::test {

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);
// The files of the shared corpus folder (adm or reg), sorted; empty when the corpus is not there.
QStringList corpusFiles(const QString &folder);
// qExec's result, or the exit status CTest takes for "skipped" (SKIP_RETURN_CODE, which kova_add_test
// sets) when the run passed but corpusFiles found no corpus, so a missing corpus does not pass as
// tested.
int corpusRunResult(int result);
// A registry string as the store keeps it: UTF-16LE with its terminating NUL.
QByteArray wideText(const QString &text);
// Writes a test text written with \n to path with CR LF line ends; returns path.
QString writeText(const QString &path, const QByteArray &text);
// CR LF line ends for test texts written with \n.
QByteArray crlf(QByteArray text);
// The same for a node's text as the template keeps it.
QString crlfText(const char *text);

} // namespace kova::test

// QTEST_MAIN for a test that reads the shared corpus; App is QApplication or QCoreApplication.
#define KOVA_CORPUS_TEST_MAIN(App, TestObject)                                                                         \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        App app(argc, argv);                                                                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return kova::test::corpusRunResult(QTest::qExec(&tc, argc, argv));                                             \
    }
