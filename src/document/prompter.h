#pragma once

#include <QString>

namespace kova {

// Every message box the program shows, as data: the exact text, one icon and a fixed set of buttons.
// The title is always the program title, so it is not part of the message.
struct Message
{
    enum class Icon { None, Critical, Exclamation, Information };
    enum class Buttons { Ok, YesNo, YesNoCancel };

    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;

    bool operator==(const Message &) const = default;
};

enum class Answer { Ok, Yes, No, Cancel };

// The one way core code tells or asks the user something. The application shows a message box,
// kova-cli prints to standard error and answers from its flags, tests replay scripted answers.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const Message &message) = 0;

    // Shorthands for the common shapes.
    void tell(const QString &text, Message::Icon icon = Message::Icon::None)
    {
        ask(Message{text, icon, Message::Buttons::Ok});
    }
};

QString iconName(Message::Icon icon);
QString buttonsName(Message::Buttons buttons);
QString answerName(Answer answer);

} // namespace kova
