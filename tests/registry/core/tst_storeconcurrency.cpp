// Two processes writing the same registry store at once lose nothing.
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

class TestStoreConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void twoWritersLoseNothing()
    {
        QTemporaryDir dir;
        const int count = 150;
        QProcess a, b;
        for (QProcess *p : {&a, &b})
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(QStringLiteral(KOVA_STORE_WRITER), {dir.path(), QStringLiteral("A"), QString::number(count)});
        b.start(QStringLiteral(KOVA_STORE_WRITER), {dir.path(), QStringLiteral("B"), QString::number(count)});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        RegistryFileStore store(dir.path());
        clsReg reg(store);
        QStringList names;
        int n = 0;
        for (const char *prefixText : {"A", "B"}) {
            const QString prefix = QString::fromLatin1(prefixText);
            reg.setClassKey(Hive::CurrentUser);
            reg.setSectionKey(QStringLiteral("Software\\Race\\") + prefix);
            QVERIFY(reg.EnumerateValues(names, n));
            QCOMPARE(n, count);
            for (int i = 0; i < count; ++i) {
                reg.setValueKey(prefix + QString::number(i));
                QCOMPARE(reg.Value().toString(), prefix + QString::number(i));
            }
        }
        // both wrote into one key of the machine file as well
        reg.setClassKey(Hive::ClassesRoot);
        reg.setSectionKey(QStringLiteral("Race"));
        QVERIFY(reg.EnumerateValues(names, n));
        QCOMPARE(n, 2 * count);
        reg.setValueKey(QStringLiteral("B7"));
        reg.Value();
        QCOMPARE(reg.ValueType(), 2);
    }
};

QTEST_GUILESS_MAIN(TestStoreConcurrency)
#include "tst_storeconcurrency.moc"
