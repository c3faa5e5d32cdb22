#include "document/filesave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

class TestFileSave : public QObject
{
    Q_OBJECT

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    // The file holds the pieces one after the other once committed, and is left as it was (with no
    // temporary file beside it) by a writer that ends without commit.
    void piecesReplaceTheFileOnCommitOnly_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("commit");
        QTest::newRow("none") << QList<QByteArray>{} << true;
        QTest::newRow("one") << QList<QByteArray>{"CLASS MACHINE\r\n"} << true;
        QTest::newRow("several") << QList<QByteArray>{"CLASS ", "", "MACHINE\r\n", QByteArray(300000, 'x')} << true;
        QTest::newRow("dropped") << QList<QByteArray>{"CLASS ", "USER\r\n"} << false;
    }
    void piecesReplaceTheFileOnCommitOnly()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, commit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.adm"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        {
            AtomicFileWriter file(path);
            for (const QByteArray &piece : pieces)
                file.write(piece);
            QCOMPARE(contents(path), QByteArray("old"));
            QString error;
            if (commit)
                QVERIFY2(file.commit(&error), qPrintable(error));
        }
        QCOMPARE(contents(path), commit ? pieces.join() : QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.adm")});
    }

    // A file that cannot be written is reported by commit, with the system's words or the read-only
    // refusal, and is left as it was.
    void failureReportedByCommit_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("missing folder") << false;
        QTest::newRow("read-only file") << true;
    }
    void failureReportedByCommit()
    {
        QFETCH(bool, readOnly);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("missing/out.adm"));
        if (readOnly) {
            path = dir.filePath(QStringLiteral("out.adm"));
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            QVERIFY(old.setPermissions(QFileDevice::ReadOwner));
        }
        AtomicFileWriter file(path);
        file.write("CLASS USER\r\n");
        file.write("END");
        QString error;
        QVERIFY(!file.commit(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(error.startsWith(QStringLiteral("Permission denied: ")), readOnly);
        QCOMPARE(contents(path), readOnly ? QByteArray("old") : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestFileSave)
#include "tst_filesave.moc"
