// A node's stored text: the table of every node's lines, and reading a node's name, kind and lines.
#include "document/nodetext.h"
#include "document/nodetexttable.h"
#include "document/nodetextviews.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kova;

namespace {

// The table's texts as plain strings, slot 0 included, for comparing with a simple model.
QStringList contents(const NodeTextTable &table)
{
    QStringList out;
    for (int slot = 0; slot <= table.highestSlot(); ++slot)
        out.append(table.text(slot));
    return out;
}

// What the table should hold: one string per slot.
struct Model
{
    QStringList texts{QString()};

    void grow(int slot)
    {
        while (texts.size() <= slot)
            texts.append(QString());
    }
};

} // namespace

class TestNodeTextTable : public QObject
{
    Q_OBJECT

private slots:
    void emptyAndOutOfRange()
    {
        NodeTextTable table;
        QVERIFY(table.isEmpty());
        QCOMPARE(table.highestSlot(), 0);
        QVERIFY(table.text(0).isEmpty());
        QVERIFY(table.text(-3).isEmpty());
        QVERIFY(table.text(7).isEmpty());
        table.growTo(3);
        QCOMPARE(table.highestSlot(), 3);
        QVERIFY(table.text(2).isEmpty());
        table.clear();
        QVERIFY(table.isEmpty());
    }

    // Interleaved writes to a few slots, as the loader makes them: every slot keeps exactly its own
    // text, whether it grows in place, into the room kept for it, or has to move.
    void interleavedAppends_data()
    {
        QTest::addColumn<QStringList>("script"); // "slot:text", "slot:text:room", "set slot:text"
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("runs of one slot")
            << QStringList{"1:CLASS MACHINE\r\n", "1:KEYNAME \"a\"\r\n", "2:PART \"p\"\r\n"}
            << QStringList{"", "CLASS MACHINE\r\nKEYNAME \"a\"\r\n", "PART \"p\"\r\n"};
        QTest::newRow("END line into the room kept")
            << QStringList{"1:POLICY \"p\"\r\n:14", "1:KEYNAME \"k\"\r\n", "2:PART \"x\" TEXT\r\n", "2:END PART\r\n",
                           "1:END POLICY\r\n"}
            << QStringList{"", "POLICY \"p\"\r\nKEYNAME \"k\"\r\nEND POLICY\r\n", "PART \"x\" TEXT\r\nEND PART\r\n"};
        QTest::newRow("more than the room: the text moves")
            << QStringList{"1:CATEGORY \"c\"\r\n:4", "2:POLICY \"p\"\r\n", "1:END CATEGORY\r\n", "2:END POLICY\r\n"}
            << QStringList{"", "CATEGORY \"c\"\r\nEND CATEGORY\r\n", "POLICY \"p\"\r\nEND POLICY\r\n"};
        QTest::newRow("no room at all") << QStringList{"1:A\r\n", "2:B\r\n", "1:C\r\n", "2:D\r\n", "1:E\r\n"}
                                        << QStringList{"", "A\r\nC\r\nE\r\n", "B\r\nD\r\n"};
        QTest::newRow("set replaces, append continues")
            << QStringList{"1:A\r\n:14", "2:B\r\n", "set 1:X\r\n", "1:Y\r\n", "set 2:", "3:Z\r\n"}
            << QStringList{"", "X\r\nY\r\n", "", "Z\r\n"};
        QTest::newRow("empty appends change nothing")
            << QStringList{"2:", "1:A\r\n", "1:"} << QStringList{"", "A\r\n", ""};
        // Texts are kept a byte a character until a character beyond Latin-1 comes.
        QTest::newRow("widened in its room")
            << QStringList{QStringLiteral("1:POLICY \"Caf\u00e9\"\r\n:14"), "2:PART\r\n",
                           QStringLiteral("1:\u20ac\r\n"), "1:END POLICY\r\n"}
            << QStringList{"", QStringLiteral("POLICY \"Caf\u00e9\"\r\n\u20ac\r\nEND POLICY\r\n"), "PART\r\n"};
        QTest::newRow("widened at the block's end")
            << QStringList{"1:A\r\n", QStringLiteral("1:\u0142\r\n"), "1:\u00ff\r\n"}
            << QStringList{"", QStringLiteral("A\r\n\u0142\r\n\u00ff\r\n")};
        QTest::newRow("set narrows again")
            << QStringList{QStringLiteral("1:\u20ac\r\n"), "set 1:X\r\n", "2:Y\r\n", "1:Z\r\n"}
            << QStringList{"", "X\r\nZ\r\n", "Y\r\n"};
    }

    void interleavedAppends()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, expected);
        NodeTextTable table;
        for (const QString &step : script) {
            const bool set = step.startsWith(u"set ");
            const QStringList parts = step.mid(set ? 4 : 0).split(u':');
            const int slot = parts[0].toInt();
            if (set)
                table.set(slot, parts[1]);
            else
                table.append(slot, parts[1], parts.size() > 2 ? parts[2].toInt() : 0);
        }
        QCOMPARE(contents(table), expected);
    }

    void appendLineTrimsAndSkipsBlankLines()
    {
        NodeTextTable table;
        table.appendLine(2, u"  KEYNAME \"Software\\A\"\t ");
        table.appendLine(2, u" \t ");
        table.appendLine(2, u"VALUENAME \"x\"");
        QCOMPARE(table.text(2), QStringLiteral("KEYNAME \"Software\\A\"\r\nVALUENAME \"x\"\r\n"));
        QCOMPARE(table.highestSlot(), 2);
    }

    // Random edits against a plain list of strings, with texts large enough to fill several blocks
    // and enough replacing to make the table pack itself more than once.
    void randomEditsMatchAModel_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("longest");
        QTest::newRow("short texts") << 1u << 40;
        QTest::newRow("texts around a block") << 2u << 9000;
        QTest::newRow("long texts") << 3u << 300000;
    }

    void randomEditsMatchAModel()
    {
        QFETCH(quint32, seed);
        QFETCH(int, longest);
        QRandomGenerator random(seed);
        NodeTextTable table;
        Model model;
        for (int step = 0; step < 3000; ++step) {
            const int slot = 1 + int(random.bounded(40));
            // Now and then a character beyond Latin-1, so that texts widen at every stage.
            const QChar fill = step % 7 == 0   ? QChar(u'\u20ac')
                               : step % 5 == 0 ? QChar(u'\u00e9')
                                               : QChar(u'a' + step % 26);
            const QString text(int(random.bounded(longest)), fill);
            model.grow(slot);
            switch (random.bounded(4)) {
            case 0:
                table.set(slot, text);
                model.texts[slot] = text;
                break;
            case 1:
                table.append(slot, text, qsizetype(random.bounded(20)));
                model.texts[slot] += text;
                break;
            case 2:
                table.append(slot, text.left(5));
                model.texts[slot] += text.left(5);
                break;
            default:
                table.appendLine(slot, text, qsizetype(random.bounded(20)));
                if (!text.isEmpty())
                    model.texts[slot] += text + QStringLiteral("\r\n");
                break;
            }
            if (step % 500 == 0 || step == 2999)
                QCOMPARE(contents(table), model.texts);
        }
    }

    void copiesAreIndependentAndEqual()
    {
        NodeTextTable table;
        table.append(1, u"CLASS MACHINE\r\n", 14);
        table.append(2, u"CATEGORY \"c\"\r\n");
        table.append(3, u"\u20ac\r\n");
        const NodeTextTable copy = table;
        QVERIFY(copy == table);
        QCOMPARE(copy.text(3), QStringLiteral("\u20ac\r\n"));
        table.set(2, u"CATEGORY \"d\"\r\n");
        QVERIFY(!(copy == table));
        QCOMPARE(copy.text(2), QStringLiteral("CATEGORY \"c\"\r\n"));
        // The same text kept a byte and two bytes a character is equal; a different one is not.
        NodeTextTable wide;
        wide.append(1, u"\u20ac");
        wide.set(1, u"CAF\u00c9");
        NodeTextTable narrow;
        narrow.append(1, u"CAF\u00c9");
        QVERIFY(wide == narrow);
        narrow.set(1, u"CAFE");
        QVERIFY(!(wide == narrow));
        NodeTextTable assigned;
        assigned.append(5, u"X\r\n");
        assigned = copy;
        QVERIFY(assigned == copy);
        QCOMPARE(assigned.highestSlot(), 3);
        // A text read out of a table is the reader's own: it outlives the table's memory.
        const QString held = assigned.text(1);
        assigned.clear();
        QCOMPARE(held, QStringLiteral("CLASS MACHINE\r\n"));
    }

    // The document takes the loader's table by moving it: the texts must not move with it.
    void movingKeepsTheTexts()
    {
        NodeTextTable table;
        for (int slot = 1; slot <= 2000; ++slot)
            table.append(slot, QString(50, QChar(0x410 + slot % 26))); // two bytes a character: viewed in place
        std::u16string scratch;
        const QStringView before = NodeTextViews::at(table, 1234, scratch);
        NodeTextTable moved(std::move(table));
        QCOMPARE(NodeTextViews::at(moved, 1234, scratch).data(), before.data());
        QCOMPARE(moved.text(1234), QString(50, QChar(0x410 + 1234 % 26)));
    }

    void nodeKeys()
    {
        QCOMPARE(MakeNodeKey(1), QStringLiteral("K1"));
        QCOMPARE(MakeNodeKey(10203), QStringLiteral("K10203"));
        QCOMPARE(NodeSlotOf(QStringLiteral("K42")), 42);
        QCOMPARE(NodeSlotOf(MakeNodeKey(7)), 7);
        QCOMPARE(NodeSlotOf(QStringLiteral("MACHINE")), 0);
    }

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

QTEST_APPLESS_MAIN(TestNodeTextTable)
#include "tst_nodetexttable.moc"
