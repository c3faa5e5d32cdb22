// clsReg over a registry store in a temporary folder, and where the store lives (--registry, the default).
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"
#include "registry/core/registrylocation.h"

#include "testfiles.h"
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QTest>

using namespace kova;

namespace {

const QString kSource = QStringLiteral("KOVA.cRegistry");

// The error a call raises; none when it raises nothing.
template<typename Call>
std::optional<RegistryError> raised(Call call)
{
    try {
        call();
    } catch (const RegistryError &e) {
        return e;
    }
    return std::nullopt;
}

} // namespace

class TestClsReg : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RegistryFileStore> m_store;
    std::unique_ptr<clsReg> m_reg;
    int m_run = 0;

    void address(qint32 hive, const QString &section, const QString &value = QString())
    {
        m_reg->setClassKey(hive);
        m_reg->setSectionKey(section);
        m_reg->setValueKey(value);
    }
    QString defaultOf(const QString &section)
    {
        address(Hive::ClassesRoot, section);
        return m_reg->Value().toString();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_store =
            std::make_unique<RegistryFileStore>(m_dir.path() + QStringLiteral("/store") + QString::number(++m_run));
        m_reg = std::make_unique<clsReg>(*m_store, kSource);
    }

    void errorSourceIsExecutableName() { QCOMPARE(registryErrorSource(), QStringLiteral("tst_clsreg.cRegistry")); }

    void readsEachType_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("1 string") << 1u << test::wideText("Policy Template File")
                                  << QVariant(QStringLiteral("Policy Template File"));
        QTest::newRow("1 empty data") << 1u << QByteArray() << QVariant(QString());
        QTest::newRow("2 expanded") << 2u << test::wideText("%KOVA_TEST_DIR%\\x")
                                    << QVariant(QStringLiteral("C:\\Kova\\x"));
        QTest::newRow("2 unknown name stays")
            << 2u << test::wideText("%KOVA_NO_SUCH%") << QVariant(QStringLiteral("%KOVA_NO_SUCH%"));
        QTest::newRow("3 binary") << 3u << QByteArray("\x01\x02\x00", 3) << QVariant(QByteArray("\x01\x02\x00", 3));
        QTest::newRow("4 dword") << 4u << QByteArray("\x0a\x00\x00\x00", 4) << QVariant(qint32(10));
        QTest::newRow("4 negative") << 4u << QByteArray("\xff\xff\xff\xff", 4) << QVariant(qint32(-1));
        QTest::newRow("5 big endian 258") << 5u << QByteArray("\x00\x00\x01\x02", 4) << QVariant(qint32(258));
        QTest::newRow("7 multi keeps inner NULs")
            << 7u << test::wideText(QStringLiteral("a") + QChar(0) + QStringLiteral("b") + QChar(0))
            << QVariant(QStringLiteral("a") + QChar(0) + QStringLiteral("b") + QChar(0));
        QTest::newRow("11 other as bytes") << 11u << QByteArray("\x01\x00\x00\x00\x00\x00\x00\x00", 8)
                                           << QVariant(QByteArray("\x01\x00\x00\x00\x00\x00\x00\x00", 8));
    }
    void readsEachType()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QVariant, expected);
        qputenv("KOVA_TEST_DIR", "C:\\Kova");
        QVERIFY(m_store->setValue(Hive::CurrentUser, QStringLiteral("Software\\Test"), QStringLiteral("V"),
                                  RegistryValue{type, data}));
        address(Hive::CurrentUser, QStringLiteral("software\\TEST"), QStringLiteral("v"));
        const QVariant value = m_reg->Value();
        QCOMPARE(value.metaType(), expected.metaType());
        QCOMPARE(value, expected);
        QCOMPARE(m_reg->ValueType(), qint32(type));
    }

    void writeChoosesStoredType_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("stored");
        QTest::newRow("expandable") << QStringLiteral("%WinDir%\\NOTEPAD.EXE %1") << 2u;
        QTest::newRow("one percent") << QStringLiteral("\"C:\\Kova\\KOVA.EXE\" \"%1\"") << 1u;
        QTest::newRow("two adjacent percents") << QStringLiteral("%%a") << 1u;
        QTest::newRow("one character between") << QStringLiteral("%a%") << 2u;
        QTest::newRow("none") << QStringLiteral("plain") << 1u;
    }
    void writeChoosesStoredType()
    {
        QFETCH(QString, text);
        QFETCH(quint32, stored);
        for (const qint32 asked : {1, 2}) {
            address(Hive::LocalMachine, QStringLiteral("Software\\Kova"), QStringLiteral("Command"));
            m_reg->setValueType(asked);
            m_reg->setValue(text);
            const auto value =
                m_store->queryValue(Hive::LocalMachine, QStringLiteral("Software\\Kova"), QStringLiteral("Command"));
            QVERIFY(value);
            QCOMPARE(value->type, stored);
            QCOMPARE(value->data, test::wideText(text)); // size = length + 1 characters
        }
    }

    void missingValueGivesDefaultAndKeepsType()
    {
        address(Hive::CurrentUser, QStringLiteral("Software\\Nothing"), QStringLiteral("Gone"));
        m_reg->setValueType(4);
        QVERIFY(!m_reg->Value().isValid());
        QCOMPARE(m_reg->ValueType(), 4);
        m_reg->setDEFAULT(QStringLiteral("fallback"));
        QCOMPARE(m_reg->Value(), QVariant(QStringLiteral("fallback")));
        QCOMPARE(m_reg->ValueType(), 4);
        // a missing value in an existing key is missing too
        m_store->setValue(Hive::CurrentUser, QStringLiteral("Software\\Nothing"), QStringLiteral("Other"),
                          RegistryValue{1, test::wideText("x")});
        QCOMPARE(m_reg->Value(), QVariant(QStringLiteral("fallback")));
        QCOMPARE(m_reg->ValueType(), 4);
    }

    void keyExistsAndCreateKey()
    {
        address(Hive::CurrentUser, QStringLiteral("Software\\A\\B\\C"));
        QVERIFY(!m_reg->KeyExists());
        QVERIFY(m_reg->CreateKey());
        QVERIFY(m_reg->KeyExists());
        m_reg->setSectionKey(QStringLiteral("SOFTWARE\\a")); // an implied parent, any case
        QVERIFY(m_reg->KeyExists());
        m_reg->setSectionKey(QString());
        QVERIFY(m_reg->KeyExists());
        m_reg->setClassKey(qint32(0x80000003)); // a hive the store does not hold
        m_reg->setSectionKey(QStringLiteral("X"));
        QVERIFY(!m_reg->KeyExists());
        const auto e = raised([&] { m_reg->CreateKey(); });
        QVERIFY(e);
        QCOMPARE(e->number(), 26001);
        QCOMPARE(e->source(), kSource);
        QCOMPARE(e->description(), QStringLiteral("Failed to create registry Key: 'X"));
    }

    void setValueOnUnusableKeyRaises26001()
    {
        address(qint32(0x80000003), QStringLiteral("S"), QStringLiteral("V"));
        const auto e = raised([&] { m_reg->setValue(QStringLiteral("data")); });
        QVERIFY(e);
        QCOMPARE(e->number(), 26001);
        QCOMPARE(
            e->description(),
            QStringLiteral("Failed to set registry value Key: '-2147483645',Section: 'S',Key: 'V' to value: 'data'"));
    }

    void enumerations()
    {
        for (const char *k : {"Software\\E\\One", "Software\\E\\two\\deep", "Software\\E\\Three", "software\\e\\TWO"})
            m_store->createKey(Hive::CurrentUser, QString::fromLatin1(k));
        m_store->setValue(Hive::CurrentUser, QStringLiteral("Software\\E"), QStringLiteral("b"),
                          RegistryValue{1, test::wideText("1")});
        m_store->setValue(Hive::CurrentUser, QStringLiteral("Software\\E"), QString(),
                          RegistryValue{1, test::wideText("d")});
        m_store->setValue(Hive::CurrentUser, QStringLiteral("Software\\E"), QStringLiteral("a"),
                          RegistryValue{4, QByteArray(4, '\0')});
        QStringList names;
        int count = -1;
        address(Hive::CurrentUser, QStringLiteral("Software\\E"));
        QVERIFY(m_reg->EnumerateSections(names, count));
        QCOMPARE(names, (QStringList{"One", "two", "Three"}));
        QCOMPARE(count, 3);
        QVERIFY(m_reg->EnumerateValues(names, count));
        QCOMPARE(names, (QStringList{"b", "", "a"}));
        QCOMPARE(count, 3);
        m_reg->setSectionKey(QStringLiteral("Software\\Missing"));
        QVERIFY(m_reg->EnumerateSections(names, count));
        QCOMPARE(count, 0);
        QVERIFY(names.isEmpty());
        QVERIFY(m_reg->EnumerateValues(names, count));
        QCOMPARE(count, 0);
    }

    void additionalAssociationErrors()
    {
        m_reg->setClassKey(Hive::ClassesRoot);
        auto e = raised([&] {
            m_reg->CreateAdditionalEXEAssociations(QStringLiteral("ADM.Document"), {"a", "b", "c", "d", "e"});
        });
        QVERIFY(e);
        QCOMPARE(e->number(), -2147194452);
        QCOMPARE(e->source(), kSource);
        QCOMPARE(e->description(),
                 QStringLiteral(
                     "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"));
        e = raised([&] {
            m_reg->CreateAdditionalEXEAssociations(QStringLiteral("No.Such.Class"), {"Verb", "Caption", "cmd"});
        });
        QVERIFY(e);
        QCOMPARE(e->number(), -2147194451);
        QCOMPARE(e->description(),
                 QStringLiteral("Error - attempt to create additional associations before class defined."));
        address(Hive::ClassesRoot, QStringLiteral("No.Such.Class"));
        QVERIFY(!m_reg->KeyExists());
        QVERIFY(!QFile::exists(m_store->filePath(Hive::LocalMachine))); // nothing written
    }

    void defaultIconRule_data()
    {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<qint32>("icon");
        QTest::addColumn<QString>("expected"); // null: no DefaultIcon key
        QTest::newRow("none") << QStringLiteral("C:\\Kova\\KOVA.EXE") << -1 << QString();
        QTest::newRow("zero") << QStringLiteral("C:\\Kova\\KOVA.EXE") << 0
                              << QStringLiteral("\"C:\\Kova\\KOVA.EXE\",0");
        QTest::newRow("three, quoted, spaces")
            << QStringLiteral("  \"C:\\My Kova\\KOVA.EXE\" ") << 3 << QStringLiteral("\"C:\\My Kova\\KOVA.EXE\",3");
    }
    void defaultIconRule()
    {
        QFETCH(QString, exe);
        QFETCH(qint32, icon);
        QFETCH(QString, expected);
        m_reg->setClassKey(Hive::CurrentUser);
        m_reg->CreateEXEAssociation(exe, QStringLiteral("T.Doc"), QStringLiteral("Test"), QStringLiteral("tst"),
                                    QString(), icon);
        QCOMPARE(m_reg->ClassKey(), Hive::ClassesRoot);
        address(Hive::ClassesRoot, QStringLiteral("T.Doc\\DefaultIcon"));
        QCOMPARE(m_reg->KeyExists(), !expected.isNull());
        if (!expected.isNull())
            QCOMPARE(m_reg->Value().toString(), expected);
        QCOMPARE(defaultOf(QStringLiteral("T.Doc\\shell\\open")), QStringLiteral("&Open")); // empty menu text
        QCOMPARE(defaultOf(QStringLiteral(".tst")), QStringLiteral("T.Doc"));
    }

    void takesTheOption_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QStringList>("rest");
        QTest::newRow("none") << QStringList{"kova", "a.adm"} << true << QString() << QStringList{"kova", "a.adm"};
        QTest::newRow("separate") << QStringList{"kova", "--registry", "/r", "a.adm"} << true << QStringLiteral("/r")
                                  << QStringList{"kova", "a.adm"};
        QTest::newRow("joined") << QStringList{"kova", "a.adm", "--registry=/w/prefix"} << true
                                << QStringLiteral("/w/prefix") << QStringList{"kova", "a.adm"};
        QTest::newRow("last wins") << QStringList{"kova", "--registry", "/a", "--registry", "/b"} << true
                                   << QStringLiteral("/b") << QStringList{"kova"};
        QTest::newRow("missing directory")
            << QStringList{"kova", "--registry"} << false << QString() << QStringList{"kova", "--registry"};
        QTest::newRow("empty joined") << QStringList{"kova", "--registry="} << false << QString()
                                      << QStringList{"kova"};
    }
    void takesTheOption()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ok);
        QFETCH(QString, directory);
        QFETCH(QStringList, rest);
        RegistryLocation location;
        QString error;
        QCOMPARE(takeRegistryOption(arguments, location, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        QCOMPARE(location.storeDirectory, directory);
        QCOMPARE(arguments, rest);
    }

    void defaultStoreIsUnderApplicationData()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Brenlow"));
        QCoreApplication::setApplicationName(QStringLiteral("Kova"));
        const QString expected =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/registry");
        QVERIFY(expected.contains(QStringLiteral("Brenlow/Kova/registry")));
        QCOMPARE(defaultRegistryStoreDirectory(), expected);

        const auto byDefault = makeRegistryBackend(RegistryLocation{});
        const auto *store = dynamic_cast<const RegistryFileStore *>(byDefault.get());
        QVERIFY(store);
        QCOMPARE(store->directory(), QDir::cleanPath(expected));
        const auto chosen = makeRegistryBackend(RegistryLocation{QStringLiteral("/tmp/some/prefix")});
        store = dynamic_cast<const RegistryFileStore *>(chosen.get());
        QVERIFY(store);
        QCOMPARE(store->filePath(qint32(0x80000001)), QStringLiteral("/tmp/some/prefix/user.reg"));
        QCOMPARE(store->filePath(qint32(0x80000000)), QStringLiteral("/tmp/some/prefix/system.reg"));
    }
};

QTEST_GUILESS_MAIN(TestClsReg)
#include "tst_clsreg.moc"
