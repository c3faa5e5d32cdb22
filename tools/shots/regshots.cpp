// Pictures of the "&Registry" page and the two picker windows, for looking at them as a user sees
// them: the real main window over a small sample store, drawn on the offscreen platform to
// OUTDIR/registry-page.png, OUTDIR/pick-key.png and OUTDIR/pick-value.png.
//
//   regshots OUTDIR [WIDTHxHEIGHT]
#include "quietdialogs.h"

#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/registrywiring.h"
#include "document/filechooser.h"
#include "document/preferences.h"
#include "document/prompter.h"
#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/modalrunner.h"
#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

using namespace kova;

namespace {

// Draws each picker as it opens and cancels it.
class ShotRunner : public ModalRunner
{
public:
    explicit ShotRunner(QString file) : m_file(std::move(file)) {}
    int run(QDialog &dialog) override
    {
        dialog.show();
        QCoreApplication::processEvents();
        dialog.grab().save(m_file);
        dialog.reject();
        return dialog.result();
    }
    QString m_file;
};

const char kSystem[] = R"(WINE REGISTRY Version 2

[Software\\Classes\\.adm] 0
@="ADM.Document"

[Software\\Microsoft\\Windows\\CurrentVersion] 0
"ProgramFilesDir"="C:\\Program Files"
"CommonFilesDir"="C:\\Program Files\\Common Files"

[Software\\Policies\\Kova\\Desktop] 0
@="Desktop settings"
"Wallpaper"="C:\\Windows\\Web\\Wallpaper\\Windows\\img0.jpg"
"NoChangingWallpaper"=dword:00000001
"Path"=str(2):"%SystemRoot%\\System32"
"Blob"=hex:00,11,22,33,44,55,66,77,88,99,aa,bb,cc,dd,ee,ff,00,11,22,33,44,55,66,77,88,99,aa,bb,cc,dd,ee,ff,\
  10,20,30,40,50,60,70,80
"Extensions"=str(7):"a\0b\0"

[Software\\Policies\\Kova\\Desktop\\Advanced] 0

[System\\CurrentControlSet\\Control] 0
)";

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: regshots OUTDIR [WIDTHxHEIGHT]\n");
        return 64;
    }
    setUpIconTheme();
    const QString out = args.at(1);
    QDir().mkpath(out);
    const QStringList size = args.value(2, QStringLiteral("1024x768")).split(u'x');

    QTemporaryDir dir;
    QFile system(dir.filePath(QStringLiteral("system.reg")));
    if (!system.open(QIODevice::WriteOnly) || system.write(kSystem) < 0)
        return 1;
    system.close();
    RegistryFileStore store(dir.path());
    clsReg reg(store);

    shots::QuietPrompter prompter;
    shots::NoFiles chooser;
    Preferences preferences(dir.filePath(QStringLiteral("settings.ini")));
    MainWindow window(prompter, chooser, preferences);
    ShotRunner runner{QString()};
    RegistryBrowser *browser = connectRegistryBrowser(window, reg, &runner);
    window.resize(size.value(0).toInt(), size.value(1).toInt());
    window.show();
    window.StartUp(QString());
    window.HideAbout();
    window.tabs()->setCurrentIndex(MainWindow::RegistryTab);
    const auto open = [&](const QStringList &path) {
        QTreeWidgetItem *at = browser->TreeReg()->topLevelItem(0);
        for (const QString &part : path) {
            at->setExpanded(true);
            for (int i = 0; i < at->childCount(); ++i)
                if (at->child(i)->text(0) == part)
                    at = at->child(i);
        }
        browser->TreeReg()->setCurrentItem(at);
        browser->ShowKeyValues(at);
    };
    open({QStringLiteral("Software"), QStringLiteral("Policies"), QStringLiteral("Kova"), QStringLiteral("Desktop")});
    QCoreApplication::processEvents();
    window.grab().save(out + QStringLiteral("/registry-page.png"));

    RegistryImages images;
    images.setIcon(QStringLiteral("machine"), kovaIcon(QStringLiteral("machine")));
    images.setIcon(QStringLiteral("closedfolder"), kovaIcon(QStringLiteral("category")));
    images.setIcon(QStringLiteral("openfolder"), kovaIcon(QStringLiteral("open")));
    runner.m_file = out + QStringLiteral("/pick-key.png");
    RegistryKeyPicker(reg, images, &window, runner)
        .pickKey(QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("Software\\Policies\\Kova\\Desktop"));
    runner.m_file = out + QStringLiteral("/pick-value.png");
    RegistryValuePicker(reg, images, &window, runner)
        .pickValue(QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("Wallpaper"),
                   QStringLiteral("Software\\Policies\\Kova\\Desktop"));
    return 0;
}
