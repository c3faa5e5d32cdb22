// The registry file store as a small database: change detection, refusal to overwrite what it cannot
// parse, case rules, the classes hive.
#include "registry/core/registryerror.h"
#include "registry/core/registryfilestore.h"

#include "testfiles.h"
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <QTest>

#include <sys/stat.h>

using namespace kova;

namespace {

RegistryValue text(const QString &t)
{
    return RegistryValue{1, test::wideText(t)};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestRegistryFileStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RegistryFileStore> m_store;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<RegistryFileStore>(m_dir->path());
    }

    void newStoreIsCreatedByFirstWrite()
    {
        QTemporaryDir dir;
        RegistryFileStore store(dir.filePath(QStringLiteral("a/b")));
        QVERIFY(!store.keyExists(Hive::CurrentUser, QStringLiteral("Software")));
        QVERIFY(store.keyExists(Hive::ClassesRoot, QStringLiteral("regfile"))); // a fresh system knows .reg files
        QVERIFY(!QFile::exists(store.filePath(Hive::LocalMachine)));
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("Software\\Kova"), QStringLiteral("V"), text("1")));
        QVERIFY(readAll(store.filePath(Hive::CurrentUser)).startsWith("WINE REGISTRY Version 2\n"));
        QVERIFY(store.setValue(Hive::ClassesRoot, QStringLiteral(".adm"), QString(), text("ADM.Document")));
        const QByteArray system = readAll(dir.filePath(QStringLiteral("a/b/system.reg")));
        QVERIFY(system.contains("[Software\\\\Classes\\\\.adm]"));
        QVERIFY(system.contains("[Software\\\\Classes\\\\regfile]"));
    }

    void namesIgnoreCaseAndKeepSpelling()
    {
        RegistryFileStore &store = *m_store;
        QVERIFY(store.setValue(Hive::LocalMachine, QStringLiteral("Software\\MixedCase"), QStringLiteral("ValueName"),
                               text("1")));
        QVERIFY(store.setValue(Hive::LocalMachine, QStringLiteral("SOFTWARE\\mixedcase"), QStringLiteral("VALUENAME"),
                               text("2")));
        QCOMPARE(store.subkeyNames(Hive::LocalMachine, QStringLiteral("software")),
                 (QStringList{"Classes", "MixedCase"}));
        QCOMPARE(store.valueNames(Hive::LocalMachine, QStringLiteral("Software\\MIXEDCASE")), QStringList{"ValueName"});
        QCOMPARE(
            store.queryValue(Hive::LocalMachine, QStringLiteral("software\\mixedcase"), QStringLiteral("valuename")),
            text("2"));
        QCOMPARE(store.queryValue(Hive::ClassesRoot, QStringLiteral("x"), QString()), std::nullopt);
        QCOMPARE(store.subkeyNames(Hive::LocalMachine, QString()), QStringList{"Software"});
    }

    void pathForms()
    {
        RegistryFileStore &store = *m_store;
        QVERIFY(store.createKey(Hive::CurrentUser, QStringLiteral("A\\B\\")));
        QVERIFY(store.keyExists(Hive::CurrentUser, QStringLiteral("A\\B")));
        QVERIFY(!store.keyExists(Hive::CurrentUser, QStringLiteral("\\A")));
        QVERIFY(!store.createKey(Hive::CurrentUser, QStringLiteral("\\A")));
        QVERIFY(!store.createKey(qint32(0x80000003), QStringLiteral("A")));
        QVERIFY(!store.setValue(qint32(0x80000003), QStringLiteral("A"), QString(), text("x")));
    }

    void seesChangesOfOtherProcesses()
    {
        RegistryFileStore &mine = *m_store;
        RegistryFileStore theirs(m_dir->path());
        QVERIFY(mine.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a"), text("1")));
        QCOMPARE(theirs.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a")), text("1"));
        QVERIFY(theirs.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a"), text("2")));
        QCOMPARE(mine.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("a")), text("2"));
        // a write starts from what is on disk, not from what the writer saw before
        QVERIFY(mine.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("b"), text("3")));
        QCOMPARE(theirs.valueNames(Hive::CurrentUser, QStringLiteral("K")), (QStringList{"a", "b"}));
        // an edit by hand (same size, same second) is seen as well
        const QString path = mine.filePath(Hive::CurrentUser);
        QByteArray bytes = readAll(path);
        bytes.replace("\"3\"", "\"4\"");
        writeAll(path, bytes);
        QCOMPARE(mine.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("b")), text("4"));
    }

    // The subkeys come from a tree of keys built once per file state: parents the file only implies,
    // first spelling and file order, kept up to date by writes and rebuilt when another program
    // changes the file.
    void keyTreeFollowsTheFile()
    {
        RegistryFileStore &store = *m_store;
        const QString path = store.filePath(Hive::CurrentUser);
        writeAll(path, "WINE REGISTRY Version 2\n\n[A\\\\B\\\\C] 0\n\n[a\\\\D] 0\n\n[X] 0\n");
        const auto names = [&](const char *key) {
            return store.subkeyNames(Hive::CurrentUser, QString::fromLatin1(key));
        };
        QCOMPARE(names(""), (QStringList{"A", "X"}));
        QCOMPARE(names("a"), (QStringList{"B", "D"}));
        QCOMPARE(names("A\\B\\C"), QStringList());
        QCOMPARE(names("A\\Nope"), std::nullopt);
        QVERIFY(store.keyExists(Hive::CurrentUser, QStringLiteral("a\\b")));
        QVERIFY(store.createKey(Hive::CurrentUser, QStringLiteral("A\\E\\F")));
        QCOMPARE(names("A"), (QStringList{"B", "D", "E"}));
        QCOMPARE(names("A\\E"), QStringList{"F"});
        writeAll(path, "WINE REGISTRY Version 2\n\n[Z] 0\n");
        QCOMPARE(names(""), QStringList{"Z"});
        QCOMPARE(names("A"), std::nullopt);
    }

    void valuesOfAKeyWithManyValues()
    {
        RegistryFileStore &store = *m_store;
        QByteArray file = "WINE REGISTRY Version 2\n\n[K] 0\n";
        for (int i = 0; i < 40; ++i)
            file += "\"Name" + QByteArray::number(i) + "\"=\"" + QByteArray::number(i) + "\"\n";
        writeAll(store.filePath(Hive::CurrentUser), file);
        for (int i : {0, 17, 39})
            QCOMPARE(store.queryValue(Hive::CurrentUser, QStringLiteral("k"), QStringLiteral("NAME%1").arg(i)),
                     text(QString::number(i)));
        QCOMPARE(store.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("Name40")), std::nullopt);
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("name17"), text("new")));
        QCOMPARE(store.queryValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("Name17")), text("new"));
        QCOMPARE(store.valueNames(Hive::CurrentUser, QStringLiteral("K"))->size(), 40);
    }

    void unparsableFileIsNeverOverwritten()
    {
        RegistryFileStore &store = *m_store;
        const QString path = store.filePath(Hive::CurrentUser);
        const QByteArray broken = "WINE REGISTRY Version 2\n\n[Software\\\\Kova] 1\n\"a\"=\"1\"\n\"b\"=dword:zz\n";
        writeAll(path, broken);
        // Said on every call, reading or writing, until the file is mended.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (attempt == 0)
                    store.setValue(Hive::CurrentUser, QStringLiteral("Software\\Kova"), QStringLiteral("c"), text("x"));
                else
                    store.keyExists(Hive::CurrentUser, QStringLiteral("Software"));
                QFAIL("no error raised");
            } catch (const RegistryBackendError &e) {
                QVERIFY2(
                    e.description().contains(QStringLiteral("user.reg cannot be read: line 5: malformed dword value")),
                    qPrintable(e.description()));
            }
        }
        QCOMPARE(readAll(path), broken);
        // the machine hive is another file and still works
        QVERIFY(store.setValue(Hive::LocalMachine, QStringLiteral("S"), QString(), text("ok")));
        // repaired by hand, the store reads it again
        writeAll(path, QByteArray(broken).replace("dword:zz", "dword:0000000a"));
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("Software\\Kova"), QStringLiteral("c"), text("x")));
        QCOMPARE(store.valueNames(Hive::CurrentUser, QStringLiteral("Software\\Kova")), (QStringList{"a", "b", "c"}));
    }

    void keepsWhatItDoesNotUse()
    {
        RegistryFileStore &store = *m_store;
        const QString path = store.filePath(Hive::LocalMachine);
        writeAll(path, "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n\n"
                       "[Software\\\\Wine] 1700000000\n#time=1da0000\n#class=\"x\"\n\"Version\"=\"win10\"\n"
                       "\"Bits\"=hex(b):01,00,00,00,00,00,00,00\n");
        QVERIFY(store.setValue(Hive::LocalMachine, QStringLiteral("Software\\Wine"), QStringLiteral("New"), text("n")));
        const QByteArray after = readAll(path);
        QVERIFY(after.startsWith("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n"));
        QVERIFY(after.contains("[Software\\\\Wine] 1700000000\n#time=1da0000\n#class=\"x\"\n\"Version\"=\"win10\"\n"
                               "\"Bits\"=hex(b):01,00,00,00,00,00,00,00\n\"New\"=\"n\"\n"));
    }

    void writerWaitsForTheLock()
    {
        RegistryFileStore &store = *m_store;
        store.setLockTimeout(200);
        QLockFile other(store.filePath(Hive::CurrentUser) + QStringLiteral(".lock"));
        QVERIFY(other.lock());
        QVERIFY_THROWS_EXCEPTION(RegistryBackendError,
                                 store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
        QVERIFY(!QFile::exists(store.filePath(Hive::CurrentUser)));
        other.unlock();
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
    }

    void unchangedValueWritesNothing()
    {
        RegistryFileStore &store = *m_store;
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("K"), QString(), text("x")));
        const QString path = store.filePath(Hive::CurrentUser);
        // every rewrite replaces the file, so a new file identity would tell
        const auto identity = [&] {
            struct stat st;
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        const ino_t before = identity();
        QVERIFY(before != 0);
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("k"), QString(), text("x")));
        QVERIFY(store.createKey(Hive::CurrentUser, QStringLiteral("K")));
        QCOMPARE(identity(), before);
        QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("k"), QString(), text("y")));
        QVERIFY(identity() != before);
    }

    // A batch's changes are seen by its own reads at once, and reach the file together at its end.
    void batchWritesOnceAtItsEnd()
    {
        RegistryFileStore &store = *m_store;
        const QString path = store.filePath(Hive::CurrentUser);
        {
            RegistryBatch batch(store);
            QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("A"), QString(), text("1")));
            QVERIFY(store.setValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v"), text("2")));
            QCOMPARE(store.queryValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v")), text("2"));
            QVERIFY(!QFile::exists(path));
            QVERIFY(batch.commit());
        }
        RegistryFileStore other(m_dir->path());
        QCOMPARE(other.queryValue(Hive::CurrentUser, QStringLiteral("A\\B"), QStringLiteral("v")), text("2"));
        QCOMPARE(other.queryValue(Hive::CurrentUser, QStringLiteral("A"), QString()), text("1"));
    }
};

QTEST_GUILESS_MAIN(TestRegistryFileStore)
#include "tst_registryfilestore.moc"
