// The recovered copy: kept when a fatal load fault or a termination signal ends the editor with
// unsaved work, offered and removed at the next start.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/recoverykeeper.h"
#include "app/terminationwiring.h"

#include "document/recoverycopy.h"
#include "document/templatedocument.h"
#include "editors/editorpage.h"
#include "editors/editorpages.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

#include <QLineEdit>
#include <QTest>

using namespace kova;
using kova::test::AppFixture;

Q_DECLARE_METATYPE(kova::Answer)

namespace {

struct RecoveryWindow : AppFixture
{
    QString path;
    RecoveryKeeper *keeper = nullptr;

    // The sample template loaded from the command line, with a keeper over the window.
    bool startOnSample()
    {
        path = file(QStringLiteral("sample.adm"), test::kSample);
        start(path);
        keeper = new RecoveryKeeper(*window, recoveryDir());
        return window->document().root();
    }
    QString recoveryDir() { return dir.filePath(QStringLiteral("recovery")); }
    TemplateDocument &document() { return window->document(); }
};

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void fatalFaultKeepsUnsavedWork_data()
    {
        QTest::addColumn<bool>("modify");
        QTest::addColumn<bool>("textMode");
        QTest::addColumn<bool>("kept");
        QTest::newRow("text mode update, document modified") << true << true << true;
        QTest::newRow("text mode update, only the text changed") << false << true << true;
        QTest::newRow("load over a modified document") << true << false << true;
        QTest::newRow("load over an unmodified document") << false << false << false;
    }
    void fatalFaultKeepsUnsavedWork()
    {
        QFETCH(bool, modify);
        QFETCH(bool, textMode);
        QFETCH(bool, kept);
        RecoveryWindow f;
        QVERIFY(f.startOnSample());
        if (modify)
            f.window->controller().toggleStrings();
        QCOMPARE(f.document().isModified(), modify);
        const QByteArray work = RecoveryCopy::render(f.document());
        const QByteArray broken = "CLASS MACHINE\nCATEGORY \"never closed\n";
        f.prompter.expect(QStringLiteral("Error in function Splitter in modFill"), Message::Icon::Critical);
        if (textMode) {
            QVERIFY(f.window->textMode()->EnterTextMode());
            f.window->textMode()->editor()->selectAll();
            f.window->textMode()->editor()->insertPlainText(QString::fromLatin1(broken));
            QVERIFY(!f.window->textMode()->TextModeUpdate());
        } else {
            QCOMPARE(f.window->controller().LoadDocument(f.file("broken.adm", broken), false).status,
                     LoadResult::Status::Fatal);
        }
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(f.window->fatalOccurred());
        const RecoveryCopy &copy = f.keeper->copy();
        QCOMPARE(copy.exists(), kept);
        if (kept) {
            QCOMPARE(test::readBytes(copy.filePath()), work);
            QCOMPARE(copy.sourcePath(), f.path);
        }
    }

    // Ended by a signal, the copy holds the work as it stands: typed text mode text without Update, an
    // open page's fields when they pass their checks (and the offer says when they did not).
    void terminationSignalKeepsUnsavedWork_data()
    {
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("typed"); // into text mode's first line, or the Category page's Description
        QTest::addColumn<bool>("textMode");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("note");
        QTest::newRow("modified") << true << "" << false << true << "";
        QTest::newRow("unmodified") << false << "" << false << false << "";
        QTest::newRow("text mode, typed") << false << "; typed" << true << true << "";
        QTest::newRow("page, fields pass") << false << "Typed name" << false << true << "";
        QTest::newRow("page, unchanged") << false << "Desktop" << false << false << "";
        QTest::newRow("page, fields fail, modified")
            << true << " " << false << true
            << "The changes on the open category page are not in it: they did not pass the page's checks.";
    }
    void terminationSignalKeepsUnsavedWork()
    {
        QFETCH(bool, modify);
        QFETCH(QString, typed);
        QFETCH(bool, textMode);
        QFETCH(bool, kept);
        QFETCH(QString, note);
        RecoveryWindow f;
        QVERIFY(f.startOnSample());
        if (modify)
            f.window->controller().toggleStrings();
        QByteArray expected = RecoveryCopy::render(f.document());
        if (textMode) {
            QVERIFY(f.window->textMode()->EnterTextMode());
            f.window->textMode()->editor()->moveCursor(QTextCursor::EndOfLine);
            f.window->textMode()->editor()->insertPlainText(typed);
            expected = f.window->textMode()->editedFileBytes();
            QVERIFY(expected.contains(typed.toLatin1()));
        } else if (!typed.isEmpty()) {
            f.window->editors().EditNode(test::findNode(f.document(), "Desktop"));
            auto *description =
                f.window->editors().page(EditorKind::Category)->findChild<QLineEdit *>(QStringLiteral("Description"));
            description->setText(typed);
            if (typed.trimmed() != typed || typed == u"Desktop")
                expected = RecoveryCopy::render(f.document());
            else
                expected = RecoveryCopy::render(f.document()).replace("\"Desktop\"", "\"" + typed.toLatin1() + '"');
        }
        leaveOnSignal(*f.window);
        QCOMPARE(f.keeper->copy().exists(), kept);
        if (kept) {
            QCOMPARE(test::readBytes(f.keeper->copy().filePath()), expected);
            QCOMPARE(f.keeper->copy().note(), note);
        }
    }

    void offerAtStart_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("note");
        QTest::newRow("yes, with a path") << QStringLiteral("/srv/templates/site.adm") << Answer::Yes << "";
        QTest::newRow("yes, untitled") << QString() << Answer::Yes << "";
        QTest::newRow("no, with a note") << QStringLiteral("/srv/templates/site.adm") << Answer::No << "Not all.";
    }
    void offerAtStart()
    {
        QFETCH(QString, source);
        QFETCH(Answer, answer);
        QFETCH(QString, note);
        AppFixture f;
        const RecoveryCopy copy(f.dir.filePath(QStringLiteral("recovery")));
        QVERIFY(
            copy.write("CLASS MACHINE\r\n\tCATEGORY \"Recovered\"\r\n\tEND CATEGORY\r\nCLASS USER\r\n", source, note));
        f.start();
        RecoveryKeeper keeper(*f.window, f.dir.filePath(QStringLiteral("recovery")));
        f.prompter.expect(QStringLiteral("Kova ended while ") +
                              (source.isEmpty() ? QStringLiteral("an untitled template") : source) +
                              QStringLiteral(" had unsaved changes. ") + (note.isEmpty() ? QString() : note + u' ') +
                              QStringLiteral("Open the recovered copy?"),
                          Message::Icon::Exclamation, Message::Buttons::YesNo, answer);
        keeper.offerRecovered();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!copy.exists());
        const TemplateDocument &doc = f.window->document();
        if (answer == Answer::Yes) {
            QCOMPARE(test::childTexts(doc.root()->child(0)), QStringList{"Recovered"});
            QCOMPARE(doc.path(), source);
            QVERIFY(doc.isModified());
        } else {
            QVERIFY(!doc.root());
        }
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
