#include "app/commandline.h"
#include "app/dialogfilechooser.h"
#include "app/icons.h"
#include "app/mainwindow.h"
#include "app/messageboxprompter.h"
#include "app/programinfo.h"
#include "app/singleinstance.h"

#include "document/preferences.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kova::programTitle());
    QApplication::setApplicationVersion(kova::programVersion());
    kova::setUpIconTheme();

    kova::MessageBoxPrompter prompter;
    kova::SingleInstance instance;
    if (!instance.CheckSingleInstance(prompter))
        return 1;

    kova::Preferences preferences;
    kova::DialogFileChooser chooser;
    kova::MainWindow window(prompter, chooser, preferences);
    prompter.setParent(&window);
    chooser.setParent(&window);
    QObject::connect(&window, &kova::MainWindow::fatalFault, &app, [] { QCoreApplication::exit(2); });
    window.show();
    window.StartUp(kova::joinCommandLine(QCoreApplication::arguments()));
    if (window.fatalOccurred())
        return 2;
    return app.exec();
}
