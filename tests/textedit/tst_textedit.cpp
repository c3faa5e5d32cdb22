// Text mode's text rules, one case a folder under tests/data/textedit. Each step applies one rule to
// every line of an input file (or to the whole file) and writes what it gives to `log`:
//   spans FILE         the highlighter's spans of each line, shown as <k:word> <q:"text"> <r:!!ref> <c:; note>
//   numeric FILE       the number a field's text stands for, or none
//   trim FILE          the text without blanks at either end
//   lineends FILE N... the position after the N-th line end of the file's editor text, or -1
//   editortext FILE    the editor text of the file's text ({CR} and {LF} shown), and whether the file text
//                      made from it again is the same
// Text mode itself runs in the real main window; after each of these steps every message shown and
// then the state go to `log` ("= text, 27+6, Current line: 3 of 4, changed" or "= tree, modified,
// template as on entry"):
//   open FILE [--newer]  the window on FILE, given on the command line (with the newer statements)
//   modified yes|no      sets the template's modified flag
//   enter                "Edit file with text editor"
//   replace FILE         pastes FILE's text over the whole editor text
//   caret N|end [M]      puts the caret at position N or at the end (selects from there to M)
//   type TEXT            types TEXT at the caret (over the selection)
//   undo                 takes the last edit back
//   goto TEXT            Enter in "Goto line number:" holding TEXT
//   find TEXT            Enter in "Search for:" holding TEXT
//   next                 the Editor menu's Find Next
//   update, noupdate     the Editor menu's Update and Don't update
//   saveas FILE          File, Save As to FILE (which then stands in expected/)
// The editor widget's own few rules (colouring is no edit, no wrapping, the gutter) follow as C++.
#include "appfixture.h"
#include "casefolders.h"

#include "document/writer.h"
#include "textedit/admhighlighter.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodefield.h"
#include "textedit/textmodepage.h"
#include "textedit/textmodetext.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace kova;
using namespace kova::test;
using Kind = AdmHighlighter::Kind;

namespace {

QByteArray marked(const QString &line)
{
    QString out;
    qsizetype at = 0;
    for (const AdmHighlighter::Span &s : AdmHighlighter::spansOf(line)) {
        out += line.mid(at, s.start - at) + u'<' + QStringLiteral("kqrc").at(int(s.kind)) + u':' +
               line.mid(s.start, s.length) + u'>';
        at = s.start + s.length;
    }
    return (out + line.mid(at)).toUtf8();
}

QByteArray shown(QString text)
{
    return text.replace(u'\r', QStringLiteral("{CR}")).replace(u'\n', QStringLiteral("{LF}")).toUtf8();
}

// Text mode in the real window, one step at a time.
struct Window : AppFixture
{
    QString onEntry; // the template as it was when text mode began
    QByteArray log;
    qsizetype said = 0;

    TextModeController &mode() { return *window->textMode(); }
    AdmTextEditor *editor() { return mode().editor(); }
    void enterIn(TextModeField *field, const QString &text)
    {
        field->setText(text);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    }
    void flushMessages()
    {
        for (; said < prompter.messages().size(); ++said)
            log += describe(prompter.messages().at(said)).toUtf8() + '\n';
    }
    // Runs one step; false for a step it does not know.
    bool run(const QString &name, const QString &arg, const QString &arg2, const QString &dir)
    {
        if (name == u"enter") {
            onEntry = renderTemplate(window->document(), false);
            item("M_TEdit")->trigger();
        } else if (name == u"modified") {
            window->document().setModified(arg == u"yes");
        } else if (name == u"replace") {
            editor()->selectAll();
            editor()->insertPlainText(QString::fromUtf8(readBytes(dir + u'/' + arg)));
        } else if (name == u"caret") {
            QTextCursor cursor = editor()->textCursor();
            cursor.setPosition(arg == u"end" ? editor()->document()->characterCount() - 1 : arg.toInt());
            if (!arg2.isEmpty())
                cursor.setPosition(arg2.toInt(), QTextCursor::KeepAnchor);
            editor()->setTextCursor(cursor);
        } else if (name == u"type") {
            editor()->insertPlainText(arg);
        } else if (name == u"undo") {
            editor()->undo();
        } else if (name == u"goto") {
            enterIn(mode().page()->gotoField(), arg);
        } else if (name == u"find") {
            enterIn(mode().page()->searchField(), arg);
        } else if (name == u"next" || name == u"update" || name == u"noupdate") {
            mode()
                .commands()
                ->menuItem(name == u"next"     ? QStringLiteral("M_FindNext")
                           : name == u"update" ? QStringLiteral("M_Update")
                                               : QStringLiteral("M_NoUpdate"))
                ->trigger();
        } else if (name == u"saveas") {
            chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, dir + u'/' + arg);
            item("M_SaveAs")->trigger();
        } else {
            return false;
        }
        flushMessages();
        if (mode().isTextModeOn()) {
            const QTextCursor c = editor()->textCursor();
            log += QStringLiteral("= text, %1+%2, %3%4\n")
                       .arg(c.selectionStart())
                       .arg(c.selectionEnd() - c.selectionStart())
                       .arg(mode().page()->lineDisplay()->text(),
                            mode().isTextChanged() ? QStringLiteral(", changed") : QString())
                       .toUtf8();
        } else {
            const TemplateDocument &doc = window->document();
            log += QByteArray("= tree, ") + (doc.isModified() ? "modified" : "unmodified");
            if (!onEntry.isEmpty())
                log += renderTemplate(doc, false) == onEntry ? ", template as on entry" : ", template changed";
            log += '\n';
        }
        return true;
    }
};

} // namespace

class TestTextEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_tmp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_tmp.path())); // text mode's temporary files
    }

    void run_data() { addCaseRows(QStringLiteral("textedit")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        std::unique_ptr<Window> w;
        QByteArray log;
        for (const QStringList &step : steps) {
            log += "> " + step.join(u' ').toUtf8() + '\n';
            if (step.first() == u"open") {
                w = std::make_unique<Window>();
                w->prompter.allowAnything(Answer::Yes);
                w->preferences.setNewerStatements(step.contains(QStringLiteral("--newer")));
                w->start(scratch.filePath(step.value(1)));
                w->window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w->window.get()));
                w->log.clear();
                w->flushMessages();
                log += w->log;
                continue;
            }
            if (w) {
                w->log.clear();
                QVERIFY2(w->run(step.first(), step.value(1), step.value(2), scratch.path()), qPrintable(step.first()));
                log += w->log;
                continue;
            }
            QVERIFY2(step.size() >= 2, "a step names its file");
            const QString text = QString::fromUtf8(testCase.read(step.at(1)));
            const QString &rule = step.first();
            const QStringList lines = text.split(u'\n');
            for (qsizetype i = 0; rule != u"lineends" && rule != u"editortext" && i < lines.size(); ++i) {
                if (i == lines.size() - 1 && lines.at(i).isEmpty())
                    break; // the file's last line end
                const QString &line = lines.at(i);
                if (rule == u"spans") {
                    log += marked(line);
                } else if (rule == u"numeric") {
                    const std::optional<double> value = numericValue(line);
                    log += '"' + line.toUtf8() + "\" -> " + (value ? QByteArray::number(*value) : "none");
                } else if (rule == u"trim") {
                    log += '"' + line.toUtf8() + "\" -> \"" + trimSpaces(line).toUtf8() + '"';
                } else {
                    QFAIL(qPrintable(QStringLiteral("unknown step: ") + rule));
                }
                log += '\n';
            }
            if (rule == u"lineends") {
                const QString editorText = editorTextFromFile(text);
                for (const QString &n : step.mid(2))
                    log +=
                        n.toUtf8() + " -> " + QByteArray::number(positionAfterLineEnds(editorText, n.toInt())) + '\n';
            } else if (rule == u"editortext") {
                const QString editorText = editorTextFromFile(text);
                log += shown(editorText) + '\n' +
                       (fileTextFromEditor(editorText) == text
                            ? "same file text\n"
                            : "file text: " + shown(fileTextFromEditor(editorText)) + '\n');
            }
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log);
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }

    // The editor colours with formats only: no undo step, no text change; an edit is coloured again.
    void colouringIsNoEdit()
    {
        AdmTextEditor editor;
        const QString text = QStringLiteral("CLASS MACHINE\n\tCATEGORY !!Name ; c\n");
        editor.setPlainText(text);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.highlighter()->rehighlight();
        QVERIFY(!editor.document()->isUndoAvailable());
        QCOMPARE(editor.toPlainText(), text);
        const auto kinds = [&](int block) {
            QList<Kind> out;
            for (const QTextLayout::FormatRange &r : editor.document()->findBlockByNumber(block).layout()->formats())
                for (Kind kind : {Kind::Keyword, Kind::Quoted, Kind::Reference, Kind::Comment})
                    if (r.format == editor.highlighter()->format(kind))
                        out << kind;
            return out;
        };
        QCOMPARE(kinds(1), (QList<Kind>{Kind::Keyword, Kind::Reference, Kind::Comment}));
        editor.moveCursor(QTextCursor::Start);
        editor.moveCursor(QTextCursor::EndOfLine);
        QTest::keyClicks(&editor, QStringLiteral(" ;x"));
        QCOMPARE(kinds(0), (QList<Kind>{Kind::Keyword, Kind::Keyword, Kind::Comment}));
    }

    // Long lines stay one line, a TAB is four blanks wide, and the line-number gutter grows with the count.
    void layout()
    {
        AdmTextEditor editor;
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setPlainText(QString(500, u'x'));
        QCOMPARE(editor.document()->firstBlock().layout()->lineCount(), 1);
        QCOMPARE(editor.tabStopDistance(), 4.0 * editor.fontMetrics().horizontalAdvance(u' '));
        const int narrow = editor.gutterWidth();
        const int textLeft = editor.viewport()->geometry().left();
        editor.setPlainText(QStringLiteral("line\n").repeated(1200));
        const int wide = editor.gutterWidth();
        QCOMPARE(wide - narrow, 3 * editor.fontMetrics().horizontalAdvance(u'9'));
        QTRY_COMPARE(editor.viewport()->geometry().left() - textLeft, wide - narrow);
        QTRY_COMPARE(editor.gutter()->width(), wide);
    }
};

QTEST_MAIN(TestTextEdit)
#include "tst_textedit.moc"
