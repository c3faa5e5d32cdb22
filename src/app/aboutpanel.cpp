#include "aboutpanel.h"

#include "icons.h"
#include "programinfo.h"

#include "textedit/outsidetools.h"

#include <QEnterEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace kova {

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::setUnderlined(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    setUnderlined(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    setUnderlined(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    emit clicked();
}

AboutPanel::AboutPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AboutPanel"));
    m_icon = new QLabel;
    m_icon->setPixmap(programIcon().pixmap(64, 64));
    auto *title = new QLabel(programTitle());
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    title->setFont(big);
    auto *version = new QLabel(QStringLiteral("Policy Template Editor, version ") + programVersion());
    auto *platforms = new QLabel(QStringLiteral("Windows 95/98/ME/NT/2000/XP/7/8/10 && 11"));
    const QString mail = supportMailAddress().mid(QStringLiteral("mailto:").size());
    m_comment = new LinkLabel(QStringLiteral("Comments and questions: ") + mail);
    m_comment->setToolTip(QStringLiteral("Click to e-mail author"));
    m_copyright = new LinkLabel(QStringLiteral("Copyright (C) Brenlow, ") + webSiteAddress());
    m_copyright->setToolTip(QStringLiteral("Click to go to webpage"));
    m_lines = {title, version, platforms, m_comment, m_copyright};

    m_exit = new QPushButton(QStringLiteral("Exit"));
    m_exit->setObjectName(QStringLiteral("AboutExit"));
    m_exit->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    for (QLabel *line : std::as_const(m_lines)) {
        line->setAlignment(Qt::AlignHCenter);
        layout->addWidget(line);
    }
    layout->addSpacing(16);
    layout->addWidget(m_exit, 0, Qt::AlignHCenter);
    layout->addStretch(2);

    connect(m_comment, &LinkLabel::clicked, this, &AboutPanel::mailRequested);
    connect(m_copyright, &LinkLabel::clicked, this, &AboutPanel::webRequested);
    connect(m_exit, &QPushButton::clicked, this, &AboutPanel::exitRequested);
    connect(this, &AboutPanel::mailRequested, this, [this] {
        if (m_tools)
            m_tools->run(OutsideTools::Tool::Mail);
    });
    connect(this, &AboutPanel::webRequested, this, [this] {
        if (m_tools)
            m_tools->run(OutsideTools::Tool::Web);
    });
    setOutsideTools(nullptr);
}

void AboutPanel::setOutsideTools(OutsideTools *tools)
{
    m_tools = tools;
    m_comment->setEnabled(hasTool(tools, OutsideTools::Tool::Mail));
    m_copyright->setEnabled(hasTool(tools, OutsideTools::Tool::Web));
}

} // namespace kova
