#include "app/commandline.h"
#include "app/dialogfilechooser.h"
#include "app/helpoption.h"
#include "app/encodingmenu.h"
#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/messageboxprompter.h"
#include "app/programinfo.h"
#include "app/recoverykeeper.h"
#include "app/singleinstance.h"

#include "app/registrywiring.h"
#include "app/shelloutsidetools.h"
#include "app/terminationwiring.h"

#include "document/preferences.h"
#include "document/terminationwatch.h"
#include "registry/core/clsreg.h"
#include "registry/core/registrylocation.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (const auto text = kova::informationRequest(argc, argv)) {
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // kova-cli uses the same names, so both find the same registry store by default.
    QApplication::setOrganizationName(QStringLiteral("Brenlow"));
    QApplication::setApplicationName(kova::programTitle());
    QApplication::setApplicationVersion(kova::programVersion());
    kova::setUpIconTheme();
    QApplication::setWindowIcon(kova::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.brenlow.Kova"));

    kova::MessageBoxPrompter prompter;
    kova::SingleInstance instance;
    if (!instance.CheckSingleInstance(prompter))
        return 1;

    QStringList arguments = QCoreApplication::arguments();
    kova::RegistryLocation registryLocation;
    QString error;
    if (!kova::takeRegistryOption(arguments, registryLocation, &error)) {
        std::fprintf(stderr, "kova: %s\n", qPrintable(error));
        return 64;
    }
    const auto registryBackend = kova::makeRegistryBackend(registryLocation);
    kova::clsReg registry(*registryBackend);

    kova::Preferences preferences;
    kova::DialogFileChooser chooser;
    kova::MainWindow window(prompter, chooser, preferences);
    prompter.setParent(&window);
    chooser.setParent(&window);
    kova::connectRegistry(window, registry);
    kova::connectRegistryBrowser(window, registry);
    const QString registryStore = registryLocation.storeDirectory.isEmpty() ? kova::defaultRegistryStoreDirectory()
                                                                            : registryLocation.storeDirectory;
    new kova::ShellOutsideTools(window, &registry, kova::systemPlatform(), kova::programSetup(registryStore));
    kova::TerminationWatch termination;
    kova::connectTermination(window, termination);
    new kova::EncodingMenu(window, preferences);
    auto *recovery = new kova::RecoveryKeeper(window, kova::RecoveryCopy::defaultDirectory());
    QObject::connect(&window, &kova::MainWindow::fatalFault, &app, [] { QCoreApplication::exit(2); });
    window.show();
    window.StartUp(kova::joinCommandLine(arguments));
    if (window.fatalOccurred())
        return 2;
    recovery->offerRecovered();
    if (window.fatalOccurred())
        return 2;
    return app.exec();
}
