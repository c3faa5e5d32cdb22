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

    void storedAsTextNewerOffByDefault()
    {
        {
            Preferences preferences(iniFile());
            QVERIFY(!preferences.newerStatements());
            preferences.setStrings(true);
            preferences.setNewerStatements(true);
            QVERIFY(preferences.newerStatements());
            preferences.setNewerStatements(false);
        }
        QSettings raw(iniFile(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Kova Edit/Strings")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("Kova Edit/NewerStatements")).toString(), QStringLiteral("0"));
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

    // Adding puts a file on top, once; removing moves the others up. The preferences follow.
    void addAndRemove_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const char *name, bool add, const QStringList &before, const char *path,
                            const QStringList &after) {
            QTest::newRow(name) << add << before << QString(path) << after;
        };
        row("into empty list", true, {"", "", "", ""}, "/x.adm", {"/x.adm", "", "", ""});
        row("to the top", true, {"/a", "/b", "", ""}, "/x", {"/x", "/a", "/b", ""});
        row("existing moves to the top without duplicate", true, {"/a", "/b", "/c", "/d"}, "/c",
            {"/c", "/a", "/b", "/d"});
        row("fourth is dropped", true, {"/a", "/b", "/c", "/d"}, "/e", {"/e", "/a", "/b", "/c"});
        row("gaps close up", true, {"/a", "", "/c", ""}, "/x", {"/x", "/a", "/c", ""});
        row("temporary file never enters", true, {"/a", "", "", ""}, "/tmp/ADM1F.tmp", {"/a", "", "", ""});
        row(".TMP in any case", true, {"/a", "", "", ""}, "/x.TMP.adm", {"/a", "", "", ""});
        row("comparison is exact", true, {"/A", "", "", ""}, "/a", {"/a", "/A", "", ""});
        row("removed: others move up", false, {"/a", "/b", "/c", ""}, "/a", {"/b", "/c", "", ""});
        row("removed: the last", false, {"/a", "/b", "/c", "/d"}, "/d", {"/a", "/b", "/c", ""});
        row("removed: not listed", false, {"/a", "", "", ""}, "/z", {"/a", "", "", ""});
    }
    void addAndRemove()
    {
        QFETCH(bool, add);
        QFETCH(QStringList, before);
        QFETCH(QString, path);
        QFETCH(QStringList, after);
        Preferences preferences(iniFile());
        RecentFiles recent(preferences);
        seed(preferences, recent, before);
        if (add)
            recent.AddRecentFile(path);
        else
            recent.RemoveRecentFile(path);
        QCOMPARE(recent.items(), after);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(preferences.recentFile(i), after.at(i - 1));
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
