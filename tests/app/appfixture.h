#pragma once

#include "app/mainactions.h"
#include "app/mainwindow.h"
#include "app/treepanel.h"

#include "document/preferences.h"

#include "recordingoutsidetools.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QAction>
#include <QTemporaryDir>

#include <memory>

namespace kova::test {

// A real main window over scripted messages and dialogs, with its preferences and files in a
// folder of its own.
struct AppFixture
{
    QTemporaryDir dir;
    Preferences preferences{dir.filePath(QStringLiteral("settings.ini"))};
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    // The window's outside tools, as the program always has them; they only record their calls.
    RecordingOutsideTools tools;
    std::unique_ptr<MainWindow> window;

    MainWindow &start(const QString &commandLine = QString())
    {
        window = std::make_unique<MainWindow>(prompter, chooser, preferences);
        window->setOutsideTools(&tools);
        window->show();
        window->StartUp(commandLine);
        return *window;
    }
    QString file(const QString &name, const QByteArray &text) { return writeText(dir.filePath(name), text); }
    QAction *item(const char *name) const { return window->actions().item(QString::fromLatin1(name)); }
    QAction *treeItem(const char *name) const { return window->treePanel()->menuAction(QString::fromLatin1(name)); }
};

} // namespace kova::test
