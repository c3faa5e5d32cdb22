#include "fakehost.h"

#include "document/loader.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodepage.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kova::test {

FakeTextModeHost::FakeTextModeHost()
{
    m_fileMenu = m_window.menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->addAction(QStringLiteral("New"));
    m_optionsMenu = m_window.menuBar()->addMenu(QStringLiteral("Option&s"));
    m_optionsMenu->addAction(QStringLiteral("Edit file with text editor"));
    m_mainToolBar = m_window.addToolBar(QStringLiteral("Main"));
    m_mainToolBar->addAction(QStringLiteral("New"));

    m_central = new QStackedWidget(&m_window);
    m_treeSide = new QWidget(m_central);
    auto *layout = new QVBoxLayout(m_treeSide);
    m_tabs = new QTabWidget(m_treeSide);
    m_tree = new QTreeWidget(m_tabs);
    m_tabs->addTab(m_tree, QStringLiteral("&Overview"));
    m_tabs->addTab(new QWidget(m_tabs), QStringLiteral("&Category"));
    m_keyWindow = new QLabel(QStringLiteral("Active key for selected item:"), m_treeSide);
    layout->addWidget(m_tabs);
    layout->addWidget(m_keyWindow);
    m_central->addWidget(m_treeSide);
    m_window.setCentralWidget(m_central);

    m_controller = new TextModeController(*this, &m_window);
    m_central->addWidget(m_controller->page());
    m_window.menuBar()->addMenu(m_controller->editorMenu());
    m_window.addToolBar(m_controller->toolBar());
    m_controller->editorMenu()->menuAction()->setVisible(false);
    m_controller->toolBar()->hide();
    m_window.resize(800, 600);
    UpdateCaption();
}

FakeTextModeHost::~FakeTextModeHost() = default;

bool FakeTextModeHost::EditScreenOpen(bool showMessage)
{
    const bool open = m_editPageOpen || m_controller->isTextModeOn();
    if (open && showMessage)
        m_prompter.tell(QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation);
    return open;
}

LoadResult FakeTextModeHost::LoadDocument(const QString &path, bool reportLine)
{
    m_loadCalls.append(path + (reportLine ? QStringLiteral(" on") : QStringLiteral(" off")));
    const LoadResult result = Vullen(m_document, path, m_prompter, LoadOptions{reportLine, m_newerStatements});
    if (result.loaded()) {
        m_document.setModified(false);
        UpdateCaption();
        m_tabs->setTabEnabled(0, true);
    } else {
        m_document.setPath(QString());
        UpdateCaption();
        m_tabs->setTabEnabled(0, false);
    }
    return result;
}

void FakeTextModeHost::UpdateCaption()
{
    const QString path = m_document.path();
    m_window.setWindowTitle(path.trimmed().isEmpty() ? QStringLiteral("Kova") : QStringLiteral("Kova - ") + path);
}

void FakeTextModeHost::showTextView(bool textView)
{
    m_central->setCurrentWidget(textView ? static_cast<QWidget *>(m_controller->page()) : m_treeSide);
    m_fileMenu->menuAction()->setVisible(!textView);
    m_optionsMenu->menuAction()->setVisible(!textView);
    m_mainToolBar->setVisible(!textView);
    m_controller->editorMenu()->menuAction()->setVisible(textView);
    m_controller->toolBar()->setVisible(textView);
    if (!textView) {
        m_tabs->setCurrentIndex(0);
        m_tree->setFocus(Qt::OtherFocusReason);
    }
}

void FakeTextModeHost::setWaitCursor(bool wait)
{
    m_waitDepth += wait ? 1 : -1;
    if (wait)
        ++m_waitCalls;
}

bool FakeTextModeHost::open(const QString &path)
{
    m_document.setPath(path);
    return LoadDocument(path, false).loaded();
}

} // namespace kova::test
