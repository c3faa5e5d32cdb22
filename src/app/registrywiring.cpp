#include "registrywiring.h"

#include "mainwindow.h"

#include "document/documentcontroller.h"
#include "document/regexportconverter.h"
#include "icons.h"
#include "registry/core/fileassociations.h"
#include "registry/core/regconversion.h"
#include "treepanel.h"

#include "registry/browser/frmregkey.h"
#include "registry/browser/frmregval.h"
#include "registry/browser/modalrunner.h"
#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>

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

// The window's side of one conversion: the wait cursor, the recent list, and for a large export a
// progress bar in the status bar, moved (and the window repainted) about every 15 ms.
class WindowConversionHost : public ConversionHost
{
public:
    WindowConversionHost(MainWindow &window, qint64 progressBarFrom)
        : m_window(window), m_progressBarFrom(progressBarFrom)
    {}
    ~WindowConversionHost() override { removeBar(); }
    WindowConversionHost(const WindowConversionHost &) = delete;
    WindowConversionHost &operator=(const WindowConversionHost &) = delete;

    void setBusy(bool busy) override
    {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            removeBar();
            QApplication::restoreOverrideCursor();
        }
    }
    void progress(qint64 done, qint64 total) override
    {
        if (!m_throttle.due())
            return;
        if (!m_bar && total >= m_progressBarFrom)
            showBar();
        if (m_bar)
            m_bar->setValue(total > 0 ? int(done * Steps / total) : Steps);
        QCoreApplication::processEvents();
    }
    void addRecentFile(const QString &path) override { m_window.controller().recentFiles().AddRecentFile(path); }
    void removeRecentFile(const QString &path) override { m_window.controller().recentFiles().RemoveRecentFile(path); }

private:
    static constexpr int Steps = 1000;

    void showBar()
    {
        // The window may have no status bar of its own; one made here goes again with the bar.
        m_ownStatusBar = !m_window.findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
        m_bar = new QProgressBar;
        m_bar->setRange(0, Steps);
        m_bar->setTextVisible(false);
        QStatusBar *statusBar = m_window.statusBar();
        m_statusBarWasHidden = statusBar->isHidden();
        statusBar->addPermanentWidget(m_bar, 1);
        statusBar->show();
    }
    void removeBar()
    {
        if (!m_bar)
            return;
        if (m_ownStatusBar) {
            QStatusBar *made = m_window.statusBar();
            m_window.setStatusBar(nullptr); // would delete it later, leaving it a while among the window's children
            delete made;                    // and the bar with it
        } else {
            delete m_bar;
            m_window.statusBar()->setHidden(m_statusBarWasHidden);
        }
        m_bar = nullptr;
    }

    MainWindow &m_window;
    qint64 m_progressBarFrom;
    Throttle m_throttle;
    QProgressBar *m_bar = nullptr;
    bool m_ownStatusBar = false;
    bool m_statusBarWasHidden = false;
};

class DialogLoop : public ModalRunner
{
public:
    int run(QDialog &dialog) override { return dialog.exec(); }
};

class PanelKeySource : public ActiveKeySource
{
public:
    explicit PanelKeySource(const TreePanel &panel) : m_panel(panel) {}
    QString activeKeyText() const override { return m_panel.activeKeyText(); }

private:
    const TreePanel &m_panel;
};

// What the browser and the pickers need for as long as the window lives.
class RegistryViews : public QObject
{
public:
    RegistryViews(MainWindow &window, clsReg &reg, ModalRunner *runner)
        : QObject(&window), keySource(*window.treePanel()), runner(runner ? *runner : loop),
          keyPicker(reg, images, &window, this->runner), valuePicker(reg, images, &window, this->runner)
    {
        images.setIcon(QStringLiteral("machine"), kovaIcon(QStringLiteral("machine")));
        images.setIcon(QStringLiteral("user"), kovaIcon(QStringLiteral("user")));
        images.setIcon(QStringLiteral("closedfolder"), kovaIcon(QStringLiteral("category")));
        images.setIcon(QStringLiteral("openfolder"), kovaIcon(QStringLiteral("open")));
        images.setIcon(QStringLiteral("standaard"), QIcon::fromTheme(QStringLiteral("text-x-generic")));
        images.setIcon(QStringLiteral("binair"), QIcon::fromTheme(QStringLiteral("application-octet-stream")));
    }

    RegistryImages images;
    PanelKeySource keySource;
    DialogLoop loop;
    ModalRunner &runner;
    RegistryKeyPicker keyPicker;
    RegistryValuePicker valuePicker;
};

// Registry exports opened in the window convert with the window's progress bar and wait cursor, the
// window's input held meanwhile. Owned by the window.
class WindowExportConverter : public QObject, public RegExportConverter
{
public:
    WindowExportConverter(MainWindow &window, qint64 progressBarFrom)
        : QObject(&window), m_window(window), m_progressBarFrom(progressBarFrom)
    {}

    std::optional<QString> convertExport(const QString &regPath) override
    {
        QString path = regPath;
        const InputBlocker blocker(m_window);
        WindowConversionHost host(m_window, m_progressBarFrom);
        if (!ConvertRegFile(path, m_window.prompter(), m_window.controller().tempFiles(), host))
            return std::nullopt;
        return path;
    }

private:
    MainWindow &m_window;
    qint64 m_progressBarFrom;
};

} // namespace

RegistryBrowser *connectRegistryBrowser(MainWindow &window, clsReg &reg, ModalRunner *runner)
{
    auto *views = new RegistryViews(window, reg, runner);
    auto *browser = new RegistryBrowser(reg, views->keySource, views->images);
    const bool enabled = window.tabs()->isTabEnabled(MainWindow::RegistryTab);
    window.installEditorPage(MainWindow::RegistryTab, browser);
    window.tabs()->setTabEnabled(MainWindow::RegistryTab, enabled);
    browser->setObjectName(QStringLiteral("Page%1").arg(MainWindow::RegistryTab));
    QObject::connect(&window, &MainWindow::registryPageEntered, browser, &RegistryBrowser::pageEntered);
    QObject::connect(&window, &MainWindow::registryPageLeft, browser, &RegistryBrowser::pageLeft);
    QObject::connect(&window, &MainWindow::registryBrowserRefreshDue, browser,
                     &RegistryBrowser::RefreshRegistryBrowser);
    window.editors().setPickers(&views->keyPicker, &views->valuePicker);
    return browser;
}

void connectRegistry(MainWindow &window, clsReg &reg, qint64 progressBarFrom)
{
    // An association that cannot be written (a read-only store, a locked-down machine) must not
    // keep the program from starting, nor greet the user with a box at every start: it is reported
    // on standard error, where an administrator looking for it will find it.
    QObject::connect(&window, &MainWindow::fileAssociationsDue, &window, [&reg] {
        for (const AssociationFailure &f : registerFileAssociations(reg, currentExecutablePath()))
            qWarning("File association not written: %s: %s", qPrintable(f.call), qPrintable(f.error.description()));
    });

    window.controller().setRegConverter(new WindowExportConverter(window, progressBarFrom));
}

} // namespace kova
