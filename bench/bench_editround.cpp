// One edit round trip on a large template: select the last policy, open its page (EditNode), press
// "Ok"; then undo and redo that commit, and a delete of the policy. Each must cost the same on a
// small and on a large template, as it touches that node alone. Also one keystroke in the tree's find
// field (filter and repaint), the slowest of typing a query letter by letter, and clearing the field. Printed beside
// the time of one load of the same file in the same run. Runs on the offscreen platform with the real main window and
// scripted dialogs.
//
//   bench_editround [--rounds N]
#include "app/mainwindow.h"
#include "app/treepanel.h"
#include "benchsupport.h"
#include "document/filechooser.h"
#include "document/preferences.h"
#include "document/prompter.h"
#include "document/treeoperations.h"
#include "editors/editorpage.h"
#include "history/templatehistory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace kova;

namespace {

class NoFiles : public FileChooser
{
public:
    QString chooseFile(const FileRequest &) override { return {}; }
};

// policies policies in categories of 20, each with a check box part; CR LF, 8-bit.
QByteArray manyPolicies(int policies)
{
    QByteArray t = "CLASS MACHINE\r\n";
    for (int p = 0; p < policies; ++p) {
        const QByteArray n = QByteArray::number(p);
        if (p % 20 == 0)
            t += "CATEGORY \"Area " + n + "\"\r\nKEYNAME \"Software\\Policies\\Bench\\Area" + n + "\"\r\n";
        t += "POLICY \"Setting " + n + "\"\r\nVALUENAME \"Value" + n +
             "\"\r\nVALUEON NUMERIC 1\r\nVALUEOFF NUMERIC 0\r\n"
             "PART \"Also " +
             n + "\" CHECKBOX\r\nVALUENAME \"Also" + n + "\"\r\nEND PART\r\nEND POLICY\r\n";
        if (p % 20 == 19 || p == policies - 1)
            t += "END CATEGORY\r\n";
    }
    return t;
}

TemplateNode *lastPolicy(TemplateNode *root)
{
    TemplateNode *last = nullptr;
    root->forEach([&](TemplateNode *n) {
        if (n->kind() == u"POLICY")
            last = n;
    });
    return last;
}

struct Figures
{
    double load = 0;
    double round = 0;
    double undoRedoCommit = 0;
    double undoRedoDelete = 0;
    double keystroke = 0;
    double clear = 0;
    int nodes = 0;
};

Figures measure(const QString &file, int rounds)
{
    bench::YesPrompter prompter;
    NoFiles chooser;
    QTemporaryDir settings;
    Preferences preferences(settings.filePath(QStringLiteral("settings.ini")));
    MainWindow window(prompter, chooser, preferences);
    window.controller().setNewerStatements(true);
    window.show();
    Figures f;
    f.load = 1e9;
    f.round = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!window.controller().LoadDocument(file, false).loaded())
            return {};
        f.load = std::min(f.load, timer.nsecsElapsed() / 1e9);
    }
    f.nodes = window.document().nodeCount();
    TemplateNode *policy = lastPolicy(window.document().root());

    // The query is the last policy's caption; its first letters find nearly every node.
    TreePanel &panel = *window.treePanel();
    const QString query = policy->text.left(12);
    for (int i = 0; i < std::min(rounds, 3); ++i) {
        for (qsizetype n = 1; n <= query.size(); ++n)
            f.keystroke = std::max(f.keystroke, bench::best(1, [&] {
                                       panel.setFindText(query.left(n));
                                       window.repaint();
                                   }));
        f.clear = std::max(f.clear, bench::best(1, [&] {
                               panel.setFindText(QString());
                               window.repaint();
                           }));
    }
    window.treePanel()->selectNode(policy);
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.editors().EditNode(policy);
        window.editors().page(EditorKind::Policy)->okButton()->click();
        f.round = std::min(f.round, timer.nsecsElapsed() / 1e9);
        if (window.editors().isOpen())
            return {};
    }
    TemplateHistory &history = window.history();
    f.undoRedoCommit = bench::best(rounds, [&] {
        history.undo();
        history.redo();
    });
    DeleteNode(window.document(), policy, prompter);
    f.undoRedoDelete = bench::best(rounds, [&] {
        history.undo();
        history.redo();
    });
    return f;
}

void report(const char *name, const QString &file, int rounds)
{
    const Figures f = measure(file, rounds);
    if (f.round <= 0 || f.round >= 1e9) {
        std::printf("%-34s failed\n", name);
        return;
    }
    std::printf("%-34s %7d nodes   load %8.2f ms   edit round trip %6.3f ms = %.4f of a load\n", name, f.nodes,
                f.load * 1e3, f.round * 1e3, f.round / f.load);
    std::printf("%-34s undo+redo of the commit %6.3f ms = %.4f, of a delete %6.3f ms = %.4f of a load\n", "",
                f.undoRedoCommit * 1e3, f.undoRedoCommit / f.load, f.undoRedoDelete * 1e3, f.undoRedoDelete / f.load);
    std::printf("%-34s find: slowest keystroke %7.2f ms = %.4f, clearing %7.2f ms = %.4f of a load\n", "",
                f.keystroke * 1e3, f.keystroke / f.load, f.clear * 1e3, f.clear / f.load);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--rounds"));
    const int rounds = at >= 0 && at + 1 < args.size() ? std::max(1, args.at(at + 1).toInt()) : 20;

    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile out(dir.filePath(name));
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? out.fileName() : QString();
    };
    report("generated, 200 policies", write(QStringLiteral("small.adm"), manyPolicies(200)), rounds);
    report("generated, 20,000 policies", write(QStringLiteral("large.adm"), manyPolicies(20000)), rounds);
    const QString largest = bench::largestCorpusTemplate();
    if (!largest.isEmpty())
        report(qPrintable(QFileInfo(largest).fileName().left(34)), largest, rounds);
    return 0;
}
