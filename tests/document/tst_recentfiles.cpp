#include "document/preferences.h"
#include "document/recentfiles.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

namespace {

// Stores the four entries of before and loads them into recent.
void seed(Preferences &preferences, RecentFiles &recent, const QStringList &before)
{
    for (int i = 1; i <= 4; ++i)
        preferences.setRecentFile(i, before.at(i - 1));
    recent.load();
}

} // namespace

class TestRecentFiles : public QObject
{
    Q_OBJECT

    QString iniFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }
    QTemporaryDir m_dir;

    void writeRaw(const QString &key, const QString &value)
    {
        QSettings raw(iniFile(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Kova Edit/") + key, value);
    }

private slots:
    void init() { QFile::remove(iniFile()); }

    void stringsOption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("other text") << "yes" << false;
        QTest::newRow("missing") << QString() << false;
    }
    void stringsOption()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        if (!stored.isNull())
            writeRaw(QStringLiteral("Strings"), stored);
        Preferences preferences(iniFile());
        QCOMPARE(preferences.strings(), on);
    }

    void storedAsText()
    {
        {
            Preferences preferences(iniFile());
            preferences.setStrings(true);
            preferences.setNewerStatements(false);
        }
        QSettings raw(iniFile(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Kova Edit/Strings")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("Kova Edit/NewerStatements")).toString(), QStringLiteral("0"));
    }

    void newerStatementsOffByDefault()
    {
        Preferences preferences(iniFile());
        QVERIFY(!preferences.newerStatements());
        preferences.setNewerStatements(true);
        QVERIFY(preferences.newerStatements());
    }

    void loadKeepsGaps()
    {
        writeRaw(QStringLiteral("Bestand1"), QStringLiteral("/a.adm"));
        writeRaw(QStringLiteral("Bestand3"), QStringLiteral("/c.adm"));
        Preferences preferences(iniFile());
        RecentFiles recent(preferences);
        recent.load();
        QCOMPARE(recent.items(), (QStringList{"/a.adm", "", "/c.adm", ""}));
        QVERIFY(recent.hasEntries());
    }

    void add_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("into empty list") << QStringList{"", "", "", ""} << "/x.adm"
                                         << QStringList{"/x.adm", "", "", ""};
        QTest::newRow("to the top") << QStringList{"/a", "/b", "", ""} << "/x" << QStringList{"/x", "/a", "/b", ""};
        QTest::newRow("existing moves to the top without duplicate")
            << QStringList{"/a", "/b", "/c", "/d"} << "/c" << QStringList{"/c", "/a", "/b", "/d"};
        QTest::newRow("fourth is dropped")
            << QStringList{"/a", "/b", "/c", "/d"} << "/e" << QStringList{"/e", "/a", "/b", "/c"};
        QTest::newRow("gaps close up") << QStringList{"/a", "", "/c", ""} << "/x" << QStringList{"/x", "/a", "/c", ""};
        QTest::newRow("temporary file never enters")
            << QStringList{"/a", "", "", ""} << "/tmp/ADM1F.tmp" << QStringList{"/a", "", "", ""};
        QTest::newRow(".TMP in any case")
            << QStringList{"/a", "", "", ""} << "/x.TMP.adm" << QStringList{"/a", "", "", ""};
        QTest::newRow("comparison is exact")
            << QStringList{"/A", "", "", ""} << "/a" << QStringList{"/a", "/A", "", ""};
    }
    void add()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(QStringList, after);
        Preferences preferences(iniFile());
        RecentFiles recent(preferences);
        seed(preferences, recent, before);
        recent.AddRecentFile(path);
        QCOMPARE(recent.items(), after);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(preferences.recentFile(i), after.at(i - 1));
    }

    void remove_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("others move up") << QStringList{"/a", "/b", "/c", ""} << "/a" << QStringList{"/b", "/c", "", ""};
        QTest::newRow("last") << QStringList{"/a", "/b", "/c", "/d"} << "/d" << QStringList{"/a", "/b", "/c", ""};
        QTest::newRow("not listed") << QStringList{"/a", "", "", ""} << "/z" << QStringList{"/a", "", "", ""};
    }
    void remove()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(QStringList, after);
        Preferences preferences(iniFile());
        RecentFiles recent(preferences);
        seed(preferences, recent, before);
        recent.RemoveRecentFile(path);
        QCOMPARE(recent.items(), after);
        QCOMPARE(preferences.recentFile(1), after.at(0));
    }

    void changedSignal()
    {
        Preferences preferences(iniFile());
        RecentFiles recent(preferences);
        QSignalSpy spy(&recent, &RecentFiles::changed);
        recent.AddRecentFile(QStringLiteral("/a.adm"));
        recent.AddRecentFile(QStringLiteral("/b.tmp"));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
