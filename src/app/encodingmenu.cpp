#include "encodingmenu.h"

#include "mainactions.h"
#include "mainwindow.h"

#include "document/documentcontroller.h"
#include "document/encoding.h"
#include "document/preferences.h"
#include "document/prompter.h"
#include "document/templatedocument.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace kova {

EncodingMenu::EncodingMenu(MainWindow &window, Preferences &preferences)
    : QObject(&window), m_window(window), m_preferences(preferences)
{
    m_menu = new QMenu(QStringLiteral("Reopen with &Encoding"), &window);
    m_menu->setObjectName(QStringLiteral("M_ReopenEncoding"));
    for (TextEncoding encoding : availableEncodings()) {
        QAction *action = m_menu->addAction(encodingLabel(encoding));
        const QString name = encodingName(encoding);
        action->setData(name);
        connect(action, &QAction::triggered, this, [this, name] { reopenWith(name); });
    }
    m_saveMenu = new QMenu(QStringLiteral("Save As with E&ncoding"), &window);
    m_saveMenu->setObjectName(QStringLiteral("M_SaveAsEncoding"));
    for (TextEncoding encoding : {TextEncoding::Utf16LE, TextEncoding::Utf8WithoutMark}) {
        const QString name = encodingName(encoding);
        QAction *action = m_saveMenu->addAction(encodingLabel(encoding));
        action->setData(name);
        connect(action, &QAction::triggered, this, [this, name] { saveAsWith(name); });
    }
    m_saveEightBit = m_saveMenu->addAction(QString());
    connect(m_saveEightBit, &QAction::triggered, this, [this] { saveAsWith(m_saveEightBit->data().toString()); });

    QMenu *file = window.actions().fileMenu();
    const QList<QAction *> items = file->actions();
    // Below Open and Save As, where a reader looks for them.
    file->insertMenu(items.size() > 2 ? items.at(2) : nullptr, m_menu);
    file->insertMenu(items.size() > 4 ? items.at(4) : nullptr, m_saveMenu);

    m_status = new QLabel(&window);
    m_status->setObjectName(QStringLiteral("EncodingStatus"));
    window.statusBar()->addPermanentWidget(m_status);
    TemplateDocument &document = window.document();
    connect(&document, &TemplateDocument::reset, this, &EncodingMenu::showEncoding);
    // A load tells its encoding after the new tree is in place: the status is brought up to date then.
    connect(&window.controller(), &DocumentController::documentLoaded, this, &EncodingMenu::showEncoding);
    connect(&document, &TemplateDocument::written, this, &EncodingMenu::showEncoding);
    connect(&document, &TemplateDocument::pathChanged, this, &EncodingMenu::showEncoding);
    showEncoding();
}

void EncodingMenu::showEncoding()
{
    const TemplateDocument &document = m_window.document();
    m_menu->setEnabled(!document.path().trimmed().isEmpty());
    m_saveMenu->setEnabled(document.root() != nullptr);
    const TextEncoding eightBit = isCodePage(document.encoding()) ? document.encoding() : TextEncoding::Windows1252;
    m_saveEightBit->setText(encodingLabel(eightBit));
    m_saveEightBit->setData(encodingName(eightBit));
    m_status->setText(document.root() ? encodingLabel(document.encoding()) : QString());
}

bool EncodingMenu::saveAsWith(const QString &name)
{
    const std::optional<TextEncoding> encoding = encodingFromName(name);
    TemplateDocument &document = m_window.document();
    if (!encoding || !document.root())
        return false;
    const TextEncoding before = document.encoding();
    document.setEncoding(*encoding);
    if (!m_window.controller().saveAs()) {
        document.setEncoding(before);
        showEncoding();
        return false;
    }
    // A code page is not recognised from the bytes: the file keeps it as its chosen encoding.
    m_preferences.setEncodingFor(document.path(), isCodePage(document.encoding()) ? name : QString());
    showEncoding();
    return true;
}

bool EncodingMenu::reopenWith(const QString &name)
{
    DocumentController &controller = m_window.controller();
    TemplateDocument &document = m_window.document();
    const QString path = document.path();
    if (path.trimmed().isEmpty() || controller.EditScreenOpen(true))
        return false;
    if (document.isModified()) {
        const Answer answer = m_window.prompter().ask({QStringLiteral("Save changes in current file?"),
                                                       Message::Icon::Exclamation, Message::Buttons::YesNoCancel});
        if (answer == Answer::Cancel || (answer == Answer::Yes && !controller.save()))
            return false;
    }
    m_preferences.setEncodingFor(path, name);
    const bool loaded = controller.LoadDocument(path, false).loaded();
    showEncoding();
    return loaded;
}

} // namespace kova
