#pragma once

#include <QLabel>
#include <QWidget>

class QPushButton;

namespace kova {

class OutsideTools;

// A label that acts as a link: underlined while the mouse is over it, clicked() on a press.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);
    bool isUnderlined() const { return font().underline(); }

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setUnderlined(bool on);
};

// The about information shown in place of the tab pages: five lines (title, version, platforms, the
// comment line that mails the author, the copyright line that opens the web site) and an "Exit" button.
class AboutPanel : public QWidget
{
    Q_OBJECT

public:
    explicit AboutPanel(QWidget *parent = nullptr);

    QList<QLabel *> lines() const { return m_lines; }
    QLabel *iconLabel() const { return m_icon; }
    LinkLabel *commentLine() const { return m_comment; }
    LinkLabel *copyrightLine() const { return m_copyright; }
    QPushButton *exitButton() const { return m_exit; }
    // The comment line sends mail and the copyright line opens the web site through tools; a line
    // whose tool is absent (or without tools) is disabled.
    void setOutsideTools(OutsideTools *tools);

signals:
    void mailRequested();
    void webRequested();
    void exitRequested();

private:
    QLabel *m_icon;
    QList<QLabel *> m_lines;
    LinkLabel *m_comment;
    LinkLabel *m_copyright;
    QPushButton *m_exit;
    OutsideTools *m_tools = nullptr;
};

} // namespace kova
