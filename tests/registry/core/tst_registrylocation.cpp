// Where the registry lives: the --registry option and the default store directory.
#include "registry/core/registryfilestore.h"
#include "registry/core/registrylocation.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

using namespace kova;

class TestRegistryLocation : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(TestRegistryLocation)
#include "tst_registrylocation.moc"
