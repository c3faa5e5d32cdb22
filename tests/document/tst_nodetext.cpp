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
    }

    // Only CR LF ends a stored line, in a text kept two bytes a character and in one kept one byte.
    void storedLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a last line without CR LF is lost") << "A\r\nB" << QStringList{"A"};
        QTest::newRow("a bare LF does not end a line") << "A\nB\r\n" << QStringList{"A\nB"};
        QTest::newRow("nor does a bare CR") << "A\rB\r\nC\r\r\n" << QStringList{"A\rB", "C\r"};
        QTest::newRow("a CR at the very end") << "A\r\nB\r" << QStringList{"A"};
        QTest::newRow("empty lines") << "\r\n\r\nx\r\n" << QStringList{"", "", "x"};
        QTest::newRow("nothing") << "" << QStringList{};
    }
    void storedLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QStringList wide;
        SplitLines(text, wide);
        QCOMPARE(wide, lines);
        const QByteArray latin1 = text.toLatin1();
        QStringList narrow;
        forEachStoredLine(std::string_view(latin1.constData(), size_t(latin1.size())), [&](std::string_view line) {
            narrow.append(QString::fromLatin1(line.data(), qsizetype(line.size())));
        });
        QCOMPARE(narrow, lines);
    }
};

QTEST_APPLESS_MAIN(TestNodeText)
#include "tst_nodetext.moc"
