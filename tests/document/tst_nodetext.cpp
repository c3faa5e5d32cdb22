#include "document/nodetext.h"

#include <QTest>

using namespace kova;

class TestNodeText : public QObject
{
    Q_OBJECT

private slots:
    void extractNodeName_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("name");
        QTest::newRow("category") << "CATEGORY \"Desktop\"" << 9 << "Desktop";
        QTest::newRow("policy with blanks") << "POLICY \"Hide all icons\"" << 7 << "Hide all icons";
        QTest::newRow("part keeps text after the name out") << "PART \"Size\" NUMERIC" << 5 << "Size";
        QTest::newRow("no quotes: the rest of the line") << "POLICY Wallpaper" << 7 << " Wallpaper";
        QTest::newRow("one quote only: the rest") << "CATEGORY \"Open" << 9 << " \"Open";
        QTest::newRow("empty name") << "POLICY \"\"" << 7 << "";
    }
    void extractNodeName()
    {
        QFETCH(QString, line);
        QFETCH(int, start);
        QFETCH(QString, name);
        QCOMPARE(ExtractNodeName(line, start), name);
    }

    void editorKind_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("partName");
        const auto row = [](const char *line, const char *kind, const char *partName) {
            QTest::newRow(line) << QString(line) << QString(kind) << QString(partName);
        };
        row("CATEGORY \"A\"", "CATEGORY", "");
        row("POLICY \"A b\"", "POLICY", "");
        row("PART \"Use it\" CHECKBOX", "CHECKBOX", "\"Use it\"");
        row("PART \"X\"  DROPDOWNLIST ", "DROPDOWNLIST", "\"X\"");
        row("PART \"NUMERIC\" TEXT", "TEXT", "\"NUMERIC\""); // a text part named like a keyword
    }
    void editorKind()
    {
        QFETCH(QString, line);
        QFETCH(QString, kind);
        QFETCH(QString, partName);
        QString name;
        QCOMPARE(GetEditorKind(line, &name), kind);
        QCOMPARE(name, partName);
    }

    void appendAndSplit()
    {
        QString slot;
        AppendNodeLine(slot, u"  KEYNAME \"Software\\A\"\t ");
        AppendNodeLine(slot, u" \t ");
        AppendNodeLine(slot, u"VALUENAME \"x\"");
        QCOMPARE(slot, QStringLiteral("KEYNAME \"Software\\A\"\r\nVALUENAME \"x\"\r\n"));

        QStringList lines{QString()};
        SplitLines(slot, lines);
        QCOMPARE(lines, (QStringList{QString(), "KEYNAME \"Software\\A\"", "VALUENAME \"x\""}));

        QStringList cut;
        SplitLines(u"A\r\nB", cut);
        QCOMPARE(cut, QStringList{"A"}); // a last line without CR LF is lost
        cut.clear();
        SplitLines(u"A\nB\r\n", cut);
        QCOMPARE(cut, QStringList{"A\nB"}); // a bare LF does not end a stored line
    }
};

QTEST_APPLESS_MAIN(TestNodeText)
#include "tst_nodetext.moc"
