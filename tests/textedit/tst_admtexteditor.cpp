#include "textedit/admhighlighter.h"
#include "textedit/admtexteditor.h"

#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace kova;
using Kind = AdmHighlighter::Kind;
using Span = AdmHighlighter::Span;

Q_DECLARE_METATYPE(QList<Span>)

namespace QTest {
template<>
char *toString(const QList<Span> &spans)
{
    QByteArray out;
    for (const Span &s : spans)
        out += "(" + QByteArray::number(s.start) + "," + QByteArray::number(s.length) + "," +
               QByteArray::number(int(s.kind)) + ")";
    return qstrdup(out.constData());
}
} // namespace QTest

class TestAdmTextEditor : public QObject
{
    Q_OBJECT

private slots:
    void spans_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QList<Span>>("spans");
        QTest::newRow("keyword and quoted text")
            << "\tPOLICY \"Hide icons\"" << QList<Span>{{1, 6, Kind::Keyword}, {8, 12, Kind::Quoted}};
        QTest::newRow("keywords in any case")
            << "end Policy" << QList<Span>{{0, 3, Kind::Keyword}, {4, 6, Kind::Keyword}};
        QTest::newRow("conditional keyword")
            << "#if version >= 4" << QList<Span>{{0, 3, Kind::Keyword}, {4, 7, Kind::Keyword}};
        QTest::newRow("plain words are not coloured") << "CLASSY Machines" << QList<Span>{};
        QTest::newRow("string reference")
            << "CATEGORY !!Desktop_Name" << QList<Span>{{0, 8, Kind::Keyword}, {9, 14, Kind::Reference}};
        QTest::newRow("comment") << "  ; a comment \"x\"" << QList<Span>{{2, 15, Kind::Comment}};
        QTest::newRow("comment after a statement")
            << "VALUENAME \"A\" ;note"
            << QList<Span>{{0, 9, Kind::Keyword}, {10, 3, Kind::Quoted}, {14, 5, Kind::Comment}};
        QTest::newRow("semicolon inside quotes") << "\"a;b\" x" << QList<Span>{{0, 5, Kind::Quoted}};
        QTest::newRow("unterminated quote runs to the end")
            << "NAME \"open ; END" << QList<Span>{{0, 4, Kind::Keyword}, {5, 11, Kind::Quoted}};
        QTest::newRow("word against a quote")
            << "PART\"X\"EDITTEXT" << QList<Span>{{0, 4, Kind::Keyword}, {4, 3, Kind::Quoted}, {7, 8, Kind::Keyword}};
        QTest::newRow("string section entry") << "Desktop_Name=\"Desktop\"" << QList<Span>{{13, 9, Kind::Quoted}};
        QTest::newRow("empty") << "" << QList<Span>{};
    }
    void spans()
    {
        QFETCH(QString, line);
        QFETCH(QList<Span>, spans);
        QCOMPARE(AdmHighlighter::spansOf(line), spans);
    }

    // Colouring sets formats only: no text change and no undo step, and an edit is coloured again.
    void colouringIsNoEdit()
    {
        AdmTextEditor editor;
        int steps = 0;
        connect(editor.document(), &QTextDocument::undoCommandAdded, this, [&] { ++steps; });
        const QString text = QStringLiteral("CLASS MACHINE\n\tCATEGORY !!Name ; c\n\t\tKEYNAME \"Software\\Kova\"\n");
        editor.setPlainText(text);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCoreApplication::processEvents();
        QVERIFY(!editor.document()->isUndoAvailable());
        const int filled = steps;
        editor.highlighter()->rehighlight();
        QCOMPARE(steps, filled);
        QCOMPARE(editor.toPlainText(), text);
        const auto formats = [&](int block) {
            QStringList out;
            for (const QTextLayout::FormatRange &r : editor.document()->findBlockByNumber(block).layout()->formats())
                for (Kind kind : {Kind::Keyword, Kind::Quoted, Kind::Reference, Kind::Comment})
                    if (r.format == editor.highlighter()->format(kind))
                        out << QStringLiteral("%1:%2").arg(r.start).arg(int(kind));
            return out;
        };
        const auto at = [](int start, Kind kind) { return QStringLiteral("%1:%2").arg(start).arg(int(kind)); };
        QCOMPARE(formats(1), (QStringList{at(1, Kind::Keyword), at(10, Kind::Reference), at(17, Kind::Comment)}));
        editor.moveCursor(QTextCursor::Start);
        editor.moveCursor(QTextCursor::EndOfLine);
        QTest::keyClicks(&editor, QStringLiteral(" ;x"));
        QVERIFY(editor.toPlainText().startsWith(QStringLiteral("CLASS MACHINE ;x\n")));
        QVERIFY(steps > filled);
        QCOMPARE(formats(0).constLast(), at(14, Kind::Comment));
    }

    void noWrappingAndTabs()
    {
        AdmTextEditor editor;
        QCOMPARE(editor.lineWrapMode(), QPlainTextEdit::NoWrap);
        editor.setPlainText(QString(500, u'x'));
        QCOMPARE(editor.document()->blockCount(), 1);
        QCOMPARE(editor.tabStopDistance(), 4.0 * editor.fontMetrics().horizontalAdvance(u' '));
    }

    void gutterGrowsWithTheLineCount()
    {
        AdmTextEditor editor;
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const int narrow = editor.gutterWidth();
        const int textLeft = editor.viewport()->geometry().left();
        QString lines;
        for (int i = 0; i < 1200; ++i)
            lines += QStringLiteral("line\n");
        editor.setPlainText(lines);
        QCOMPARE(editor.document()->blockCount(), 1201);
        const int wide = editor.gutterWidth();
        QCOMPARE(wide - narrow, 3 * editor.fontMetrics().horizontalAdvance(u'9'));
        QTRY_COMPARE(editor.viewport()->geometry().left() - textLeft, wide - narrow);
        QTRY_COMPARE(editor.gutter()->width(), wide);
        QVERIFY(editor.gutter()->isVisible());
        // Painting the gutter leaves the text alone.
        editor.gutter()->repaint();
        QCOMPARE(editor.toPlainText(), lines);
        QCOMPARE(editor.document()->blockCount(), 1201);
    }
};

QTEST_MAIN(TestAdmTextEditor)
#include "tst_admtexteditor.moc"
