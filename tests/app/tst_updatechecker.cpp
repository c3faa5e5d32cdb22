#include "scriptedplatform.h"
#include "scriptedprompter.h"

#include "app/updatechecker.h"

#include <QDir>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using kova::test::RecordingShell;
using kova::test::ScriptedPrompter;

namespace {

// A web server on 127.0.0.1 that answers every request the same way: with status and body, or not
// at all (silent). Requests are recorded by path.
class LocalServer : public QObject
{
public:
    LocalServer(int status, QByteArray body, bool silent) : m_status(status), m_body(std::move(body)), m_silent(silent)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }
    QStringList paths;

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        paths << QString::fromLatin1(request.split(' ').value(1));
        if (m_silent)
            return;
        // No Content-Length: the body ends when the connection closes, so the size cap must count.
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nConnection: close\r\n\r\n");
        socket->write(m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    int m_status;
    QByteArray m_body;
    bool m_silent;
};

const QString kNewer = QStringLiteral("There is a new version available!\rDownload this new version?");
const QString kNewest = QStringLiteral("You have the newest version.");

} // namespace

class TestUpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    void versionNumbers_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("number"); // -1: no version
        QTest::newRow("3.0.5") << "3.0.5" << 305;
        QTest::newRow("two-digit minor") << "1.12.3" << 1123;
        QTest::newRow("two parts") << "2.1" << 21;
        QTest::newRow("letters") << "1.a.0" << -1;
        QTest::newRow("four parts") << "1.2.3.4" << -1;
    }
    void versionNumbers()
    {
        QFETCH(QString, version);
        QFETCH(int, number);
        QCOMPARE(versionNumber(version).value_or(-1), number);
    }

    void versionFileLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("number"); // -100000: no number
        QTest::newRow("plain") << "306\r\n" << 306;
        QTest::newRow("followed by a word") << "306 word" << 306;
        QTest::newRow("leading blanks") << "  304" << 304;
        QTest::newRow("largest 16-bit") << "32767" << 32767;
        QTest::newRow("too large") << "32768" << -100000;
        QTest::newRow("a word") << "version 306" << -100000;
        QTest::newRow("empty") << "" << -100000;
    }
    void versionFileLines()
    {
        QFETCH(QString, line);
        QFETCH(int, number);
        const std::optional<qint16> parsed = leadingVersionNumber(line);
        QCOMPARE(parsed ? int(*parsed) : -100000, number);
    }

    // Program version 3.0.5 against what the server says.
    void outcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<bool>("download");   // the message is answered Yes
        QTest::addColumn<bool>("programFolderWritable");
        const QByteArray big(10 * 1024 * 1024, '3');
        QTest::newRow("newer") << 200 << QByteArray("306\r\n") << false << kNewer << true << true;
        QTest::newRow("newer, declined") << 200 << QByteArray("306\r\n") << false << kNewer << false << true;
        QTest::newRow("same") << 200 << QByteArray("305") << false << kNewest << false << true;
        QTest::newRow("older") << 200 << QByteArray("304") << false << QString() << false << true;
        QTest::newRow("not a number") << 200 << QByteArray("<html>") << false << QString() << false << true;
        QTest::newRow("not found") << 404 << QByteArray("306") << false << QString() << false << true;
        QTest::newRow("10 MB body") << 200 << big << false << QString() << false << true;
        QTest::newRow("never answers") << 200 << QByteArray() << true << QString() << false << true;
        QTest::newRow("program folder read-only") << 200 << QByteArray("305") << false << kNewest << false << false;
    }
    void outcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, silent);
        QFETCH(QString, message);
        QFETCH(bool, download);
        QFETCH(bool, programFolderWritable);

        QTemporaryDir dir;
        LocalServer server(status, body, silent);
        ScriptedPrompter prompter;
        RecordingShell shell;
        HttpDownloader downloader(400, 64 * 1024);
        // A folder below a plain file cannot be written, whoever runs the test.
        const QString blocker = dir.filePath(QStringLiteral("file"));
        QFile(blocker).open(QIODevice::WriteOnly);
        const QString program =
            programFolderWritable ? dir.filePath(QStringLiteral("program")) : blocker + QStringLiteral("/program");
        QDir().mkpath(program);
        const QString cache = dir.filePath(QStringLiteral("cache"));
        UpdateChecker checker(prompter, shell, downloader, {server.url(), 305, program, cache});
        QCOMPARE(QFileInfo(checker.versionFilePath()).absolutePath(), programFolderWritable ? program : cache);

        if (!message.isEmpty()) {
            const bool question = message == kNewer;
            prompter.expect(message, Message::Icon::Information,
                            question ? Message::Buttons::YesNo : Message::Buttons::Ok,
                            question ? (download ? Answer::Yes : Answer::No) : Answer::Ok);
        }
        checker.CheckForUpdate();
        checker.CheckForUpdate(); // a second check while one runs is ignored
        QTRY_VERIFY_WITH_TIMEOUT(!checker.isRunning(), 10000);

        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(server.paths, QStringList{"/kova.txt"});
        const QList<QUrl> expectedOpen =
            download ? QList<QUrl>{QUrl(server.url().toString() + QStringLiteral("/kova.zip"))} : QList<QUrl>{};
        QCOMPARE(shell.opened, expectedOpen);
        QVERIFY(!QFile::exists(checker.versionFilePath()));
        QCOMPARE(QDir(program).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestUpdateChecker)
#include "tst_updatechecker.moc"
