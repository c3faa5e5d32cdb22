#include "app/admxlanguagemenu.h"
#include "app/commandline.h"
#include "app/dialogfilechooser.h"
#include "app/encodingmenu.h"
#include "app/firstpaint.h"
#include "app/helpoption.h"
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

namespace {

QStringList rawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int badUsage(const QString &error)
{
    std::fprintf(stderr, "kova: %s\n%s", qPrintable(error), qPrintable(kova::editorUsage()));
    return 64;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto text = kova::informationRequest(argc, argv)) {
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!kova::displayAvailable(rawArguments(argc, argv))) {
        // Without a display Qt would abort; bad usage is still told as such.
        const kova::EditorCommandLine given = kova::readEditorCommandLine(rawArguments(argc, argv));
        if (!given.error.isEmpty())
            return badUsage(given.error);
        std::fputs(kova::noDisplayText(given.commandLine).toLocal8Bit().constData(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // kova-cli uses the same names, so both find the same registry store by default.
    QApplication::setOrganizationName(QStringLiteral("Brenlow"));
    QApplication::setApplicationName(kova::programTitle());
    QApplication::setApplicationVersion(kova::programVersion());
    kova::setUpIconTheme();
    QApplication::setWindowIcon(kova::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.brenlow.Kova"));

    // Qt has taken its own options (-style, -platform, ...) out of these.
    const kova::EditorCommandLine given = kova::readEditorCommandLine(QCoreApplication::arguments());
    if (!given.error.isEmpty())
        return badUsage(given.error);

    kova::MessageBoxPrompter prompter;
    kova::SingleInstance instance;
    if (!instance.CheckSingleInstance(prompter))
        return 1;

    const kova::RegistryLocation &registryLocation = given.registry;
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
    new kova::AdmxLanguageMenu(window);
    auto *recovery = new kova::RecoveryKeeper(window, kova::RecoveryCopy::defaultDirectory());
    QObject::connect(&window, &kova::MainWindow::fatalFault, &app, [] { QCoreApplication::exit(2); });
    kova::showOnScreen(window);
    window.StartUp(given.commandLine);
    if (window.fatalOccurred())
        return 2;
    recovery->offerRecovered();
    if (window.fatalOccurred())
        return 2;
    return app.exec();
}
