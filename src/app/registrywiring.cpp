#include "registrywiring.h"

#include "mainwindow.h"

#include "document/documentcontroller.h"
#include "registry/core/fileassociations.h"
#include "registry/core/regconversion.h"

#include <QApplication>
#include <QCursor>

namespace kova {

namespace {

// Keeps the window from taking commands while a conversion lets events run: it repaints, but a
// second Open cannot start in the middle of the first.
class InputBlocker
{
public:
    explicit InputBlocker(MainWindow &window) : m_window(window) { m_window.setEnabled(false); }
    ~InputBlocker() { m_window.setEnabled(true); }
    InputBlocker(const InputBlocker &) = delete;
    InputBlocker &operator=(const InputBlocker &) = delete;

private:
    MainWindow &m_window;
};

} // namespace

void connectRegistry(MainWindow &window, clsReg &reg)
{
    // An association that cannot be written (a read-only store, a locked-down machine) must not
    // keep the program from starting, nor greet the user with a box at every start: it is reported
    // on standard error, where an administrator looking for it will find it.
    window.hooks.registerFileAssociations = [&reg] {
        for (const AssociationFailure &f : registerFileAssociations(reg, currentExecutablePath()))
            qWarning("File association not written: %s: %s", qPrintable(f.call), qPrintable(f.error.description()));
    };

    DocumentController &controller = window.controller();
    controller.setRegConverter([&window, &controller](const QString &regPath) -> std::optional<QString> {
        RegConversionHooks hooks;
        hooks.processEvents = throttledEventPump([] { QCoreApplication::processEvents(); });
        hooks.setBusy = [](bool busy) {
            if (busy)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        };
        hooks.addRecentFile = [&controller](const QString &p) { controller.recentFiles().AddRecentFile(p); };
        hooks.removeRecentFile = [&controller](const QString &p) { controller.recentFiles().RemoveRecentFile(p); };
        QString path = regPath;
        const InputBlocker blocker(window);
        if (!ConvertRegFile(path, window.prompter(), controller.tempFiles(), hooks))
            return std::nullopt;
        return path;
    });
}

} // namespace kova
