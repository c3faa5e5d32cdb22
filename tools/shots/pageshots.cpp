// Pictures of the node pages for the README and for looking at a page as a user sees it: the
// bundled sample is opened in the real main window on the offscreen platform, and the page of
// the first node of each kind is drawn to OUTDIR/page-<tab>.png at the given window size, the
// window as opened to OUTDIR/opened.png, and the overview with a find in the tree to
// OUTDIR/overview-find.png. SAMPLE may be anything the editor opens, an .admx too.
//
//   pageshots SAMPLE.adm OUTDIR [WIDTHxHEIGHT]
#include "quietdialogs.h"

#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/treepanel.h"
#include "document/filechooser.h"
#include "document/preferences.h"
#include "document/prompter.h"
#include "editors/editorpage.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace kova;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: pageshots SAMPLE.adm OUTDIR [WIDTHxHEIGHT]\n");
        return 64;
    }
    setUpIconTheme();
    const QStringList size = args.value(3, QStringLiteral("1024x768")).split(u'x');
    shots::QuietPrompter prompter;
    shots::NoFiles chooser;
    QTemporaryDir settings;
    Preferences preferences(settings.filePath(QStringLiteral("settings.ini")));
    MainWindow window(prompter, chooser, preferences);
    window.resize(size.value(0).toInt(), size.value(1).toInt());
    window.show();
    window.StartUp(args.at(1));
    QDir().mkpath(args.at(2));
    QCoreApplication::processEvents();
    window.grab().save(QDir(args.at(2)).filePath(QStringLiteral("opened.png")));
    QList<TemplateNode *> nodes;
    window.document().root()->forEach([&](TemplateNode *n) { nodes.append(n); });
    QSet<int> done;
    for (TemplateNode *node : std::as_const(nodes)) {
        window.editors().EditNode(node);
        if (!window.editors().isOpen())
            continue;
        const int tab = editorTab(window.editors().session().kind());
        if (!done.contains(tab)) {
            done.insert(tab);
            QCoreApplication::processEvents();
            window.grab().save(QDir(args.at(2)).filePath(QStringLiteral("page-%1.png").arg(tab)));
        }
        window.editors().session().cancel();
    }
    // The overview with a find in the tree.
    window.treePanel()->setFindText(QStringLiteral("proxy"));
    window.findAction()->trigger();
    QCoreApplication::processEvents();
    window.grab().save(QDir(args.at(2)).filePath(QStringLiteral("overview-find.png")));
    return 0;
}
