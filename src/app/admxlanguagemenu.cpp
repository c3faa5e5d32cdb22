#include "admxlanguagemenu.h"

#include "mainactions.h"
#include "mainwindow.h"

#include "admx/admximport.h"
#include "document/documentcontroller.h"
#include "document/preferences.h"

#include <QActionGroup>
#include <QMenu>

namespace kova {

AdmxLanguageMenu::AdmxLanguageMenu(MainWindow &window) : QObject(&window), m_window(window)
{
    m_menu = new QMenu(QStringLiteral("ADMX &Language"), &window);
    m_menu->setObjectName(QStringLiteral("M_AdmxLanguage"));
    m_group = new QActionGroup(m_menu);
    m_menu->menuAction()->setStatusTip(QStringLiteral("The language of the ADML an ADMX file is read with"));
    window.actions().optionsMenu()->addMenu(m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &AdmxLanguageMenu::refresh);
    refresh();
}

void AdmxLanguageMenu::refresh()
{
    m_menu->clear();
    DocumentController &controller = m_window.controller();
    const QString chosen = controller.preferences().admxLanguage();
    QStringList languages;
    if (!controller.admxSource().isEmpty())
        languages = admx::admlLanguages(controller.admxSource());
    if (!chosen.isEmpty() && !languages.contains(chosen))
        languages.append(chosen); // remembered, though the open ADMX has no ADML in it

    const auto add = [&](const QString &text, const QString &language) {
        QAction *action = m_menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(language == chosen);
        action->setData(language);
        m_group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, language] { m_window.controller().setAdmxLanguage(language); });
    };
    add(QStringLiteral("&Automatic (your language, else en-US)"), QString());
    m_menu->addSeparator();
    for (const QString &language : std::as_const(languages))
        add(language, language);
    if (controller.admxSource().isEmpty()) {
        QAction *hint = m_menu->addAction(QStringLiteral("Open an ADMX file to list its languages"));
        hint->setEnabled(false);
    }
}

} // namespace kova
