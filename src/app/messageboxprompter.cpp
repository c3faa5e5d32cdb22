#include "messageboxprompter.h"

#include "programinfo.h"

#include <QMessageBox>

namespace kova {

Answer MessageBoxPrompter::ask(const Message &message)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(programTitle());
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n'); // a lone carriage return breaks the line too
    box.setText(text);
    switch (message.icon) {
    case Message::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Message::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Message::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Message::Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (message.buttons) {
    case Message::Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Message::Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Message::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break; // closed without a button: the safe answer
    }
    switch (message.buttons) {
    case Message::Buttons::Ok: return Answer::Ok;
    case Message::Buttons::YesNo: return Answer::No;
    case Message::Buttons::YesNoCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace kova
