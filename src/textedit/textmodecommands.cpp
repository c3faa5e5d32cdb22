#include "textmodecommands.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

namespace kova {

namespace {

struct MenuItem
{
    const char *name;
    const char *caption;
    QKeySequence shortcut;
};

struct ToolButton
{
    const char *description;
    const char *toolTip;
    const char *themeIcon;
    const char *fallbackGlyph; // drawn when the desktop theme has no such icon
};

// A drawn stand-in for a theme icon the desktop does not have, so that no button is ever blank.
QIcon fallbackIcon(const QString &glyph)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace

TextModeCommands::TextModeCommands(QWidget *window)
    : QObject(window), m_menu(new QMenu(QStringLiteral("&Editor"), window)),
      m_toolBar(new QToolBar(QStringLiteral("Text editor"), window))
{
    m_menu->setObjectName(QStringLiteral("M_Editor"));
    m_toolBar->setObjectName(QStringLiteral("textModeToolBar"));

    const MenuItem items[] = {
        {"M_Update", "Update changes and return to GUI editor", QKeySequence(Qt::CTRL | Qt::Key_U)},
        {"M_NoUpdate", "Don't update changes and return to GUI editor", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"M_Goto", "Goto line number", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"M_Find", "Find", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"M_FindNext", "Find Next", QKeySequence(Qt::Key_F3)},
        {"M_EPrint", "Print Template", QKeySequence()},
    };
    for (const MenuItem &item : items) {
        QAction *action = m_menu->addAction(QString::fromUtf8(item.caption));
        const QString name = QString::fromLatin1(item.name);
        action->setObjectName(name);
        action->setShortcut(item.shortcut);
        connect(action, &QAction::triggered, this, [this, name] { emit menuItemChosen(name); });
    }

    const ToolButton buttons[] = {
        {"Update", "Update changes and return to GUI editor", "dialog-ok-apply", "Up"},
        {"DontSave", "Don't update changes and return to GUI editor", "dialog-cancel", "No"},
        {"Goto", "Goto line number", "go-jump", "Go"},
        {"Find", "Find", "edit-find", "Fi"},
        {"FindNext", "Find Next", "go-down-search", "F+"},
        {"Print", "Print Template", "document-print", "Pr"},
        {"Help", "Show help file", "help-contents", "?"},
        {"Mail", "Send E-mail to author", "mail-send", "@"},
        {"Web", "Go to authors website", "internet-web-browser", "W"},
    };
    for (const ToolButton &button : buttons) {
        const QString description = QString::fromLatin1(button.description);
        QAction *action =
            m_toolBar->addAction(QIcon::fromTheme(QString::fromLatin1(button.themeIcon),
                                                  fallbackIcon(QString::fromLatin1(button.fallbackGlyph))),
                                 description);
        action->setObjectName(description);
        action->setToolTip(QString::fromUtf8(button.toolTip));
        connect(action, &QAction::triggered, this, [this, description] { emit toolButtonPressed(description); });
        if (description == u"DontSave" || description == u"FindNext" || description == u"Print")
            m_toolBar->addSeparator();
    }
}

QAction *TextModeCommands::menuItem(const QString &name) const
{
    for (QAction *action : m_menu->actions()) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

QAction *TextModeCommands::toolButton(const QString &description) const
{
    for (QAction *action : m_toolBar->actions()) {
        if (action->objectName() == description)
            return action;
    }
    return nullptr;
}

} // namespace kova
