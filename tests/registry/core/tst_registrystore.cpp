// The registry store where data cases cannot reach: several writers and processes on one store, file
// identity, the lock, and escapes over every character. The rest is data under tests/data/registry.
#include "registry/core/clsreg.h"
#include "registry/core/registryerror.h"
#include "registry/core/registryfile.h"
#include "registry/core/registryfilestore.h"
#include "testfiles.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kova;

namespace {

RegistryValue text(const QString &t)
{
    return RegistryValue{1, test::wideText(t)};
}

} // namespace

class TestRegistryStore : public QObject
{
    Q_OBJECT

private slots:
    // Two processes writing the same store at once lose nothing.
    void twoWritersLoseNothing()
    {
        QTemporaryDir dir;
        const int count = 150;
        QProcess a, b;
        for (QProcess *p : {&a, &b})
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(QStringLiteral(KOVA_STORE_WRITER), {dir.path(), QStringLiteral("A"), QString::number(count)});
        b.start(QStringLiteral(KOVA_STORE_WRITER), {dir.path(), QStringLiteral("B"), QString::number(count)});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode() + b.exitCode(), 0);
        RegistryFileStore store(dir.path());
        for (const char *prefix : {"A", "B"}) {
            const QString key = QStringLiteral("Software\\Race\\") + QLatin1String(prefix);
            QCOMPARE(store.valueNames(Hive::CurrentUser, key)->size(), count);
            for (int i = 0; i < count; ++i) {
                const QString name = QLatin1String(prefix) + QString::number(i);
                QCOMPARE(store.queryValue(Hive::CurrentUser, key, name), text(name));
            }
        }
        // both wrote into one key of the machine file as well
        QCOMPARE(store.valueNames(Hive::ClassesRoot, QStringLiteral("Race"))->size(), 2 * count);
        QCOMPARE(store.queryValue(Hive::ClassesRoot, QStringLiteral("Race"), QStringLiteral("B7"))->type, 2u);
    }

    // A batch's changes are seen by its own reads at once, and reach the file together at its end.
    void batchWritesOnceAtItsEnd()
    {
        QTemporaryDir dir;
        RegistryFileStore store(dir.path());
        const QString path = store.filePath(Hive::CurrentUser);
        {
            RegistryBatch batch(store);
            QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("A"), QString(), text("1")));
            QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v"), text("2")));
            QCOMPARE(store.queryValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v")), text("2"));
            QVERIFY(!QFile::exists(path));
            QVERIFY(batch.commit());
        }
        RegistryFileStore other(dir.path());
        QCOMPARE(other.queryValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v")), text("2"));
        QCOMPARE(other.queryValue(Hive::CurrentUser, QStringLiteral("A"), QString()), text("1"));
    }

    void seesChangesOfOtherStores()
    {
        QTemporaryDir dir;
        RegistryFileStore mine(dir.path()), theirs(dir.path());
        QVERIFY(mine.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a"), text("1")));
        QCOMPARE(theirs.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a")), text("1"));
        QVERIFY(theirs.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a"), text("2")));
        QCOMPARE(mine.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a")), text("2"));
        // a write starts from what is on disk, not from what the writer saw before
        QVERIFY(mine.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("b"), text("3")));
        QCOMPARE(theirs.valueNames(Hive::CurrentUser, QStringLiteral("K")), (QStringList{"a", "b"}));
        // an edit by hand (same size, same second) is seen as well
        const QString path = mine.filePath(Hive::CurrentUser);
        QVERIFY(test::writeBytes(path, test::readBytes(path).replace("\"3\"", "\"4\"")));
        QCOMPARE(mine.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("b")), text("4"));
    }

    void writerWaitsForTheLock()
    {
        QTemporaryDir dir;
        RegistryFileStore store(dir.path());
        store.setLockTimeout(200);
        QLockFile other(store.filePath(Hive::CurrentUser) + QStringLiteral(".lock"));
        QVERIFY(other.lock());
        QVERIFY_THROWS_EXCEPTION(RegistryBackendError,
                                 store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
        QVERIFY(!QFile::exists(store.filePath(Hive::CurrentUser)));
        other.unlock();
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
    }

    // Every rewrite replaces the file, so a new file identity tells that an unchanged value wrote nothing.
    void unchangedValueWritesNothing()
    {
        QTemporaryDir dir;
        RegistryFileStore store(dir.path());
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
        const auto identity = [&] {
            struct stat st;
            const QByteArray path = QFile::encodeName(store.filePath(Hive::CurrentUser));
            return ::stat(path.constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        const ino_t before = identity();
        QVERIFY(before != 0);
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("k"), QString(), text("x")));
        QVERIFY(store.createKey(Hive::CurrentUser, QStringLiteral("K")));
        QCOMPARE(identity(), before);
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("k"), QString(), text("y")));
        QVERIFY(identity() != before);
    }

    void escapesRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and backslashes") << QStringLiteral("a\"b\\c");
        QTest::newRow("controls") << QStringLiteral("\t\n\r") + QChar(1) + QChar(27) + QStringLiteral("7");
        QTest::newRow("non-ASCII followed by hex digit") << QStringLiteral("\u00e9a1\u4e2d");
        QTest::newRow("brackets") << QStringLiteral("[x]");
        QTest::newRow("NUL then digits") << QChar(0) + QStringLiteral("12");
    }
    void escapesRoundTrip()
    {
        QFETCH(QString, text);
        RegistryFileContents c;
        c.headerLines = QStringList{RegistryFileContents::Signature};
        StoredKey &k = c.obtain(QStringLiteral("Key ") + text);
        k.values.append(StoredKey::Value{text, RegistryValue{1, test::wideText(text)}});
        k.values.append(StoredKey::Value{QStringLiteral("odd"), RegistryValue{1, QByteArray("abc")}}); // not whole
        RegistryFileContents again;
        const auto error = parseRegistryFile(renderRegistryFile(c), again);
        QVERIFY2(!error, error ? qPrintable(error->reason) : "");
        QCOMPARE(again.keys().size(), 1);
        QCOMPARE(again.keys().at(0).path, QStringLiteral("Key ") + text);
        QCOMPARE(again.keys().at(0).values.at(0).name, text);
        QCOMPARE(again.keys().at(0).values.at(0).value, (RegistryValue{1, test::wideText(text)}));
        QCOMPARE(again.keys().at(0).values.at(1).value, (RegistryValue{1, QByteArray("abc")}));
    }
};

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
