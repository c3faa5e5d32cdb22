#include "dropdownform.h"

#include "actionlist.h"

#include "document/nodekeys.h"

namespace kova {

namespace {

const QString kFieldEmpty = QStringLiteral("Field is empty");

// An item or entry text is written as two lines: up to and including its second double quote, and
// the rest.
void appendSplit(QString &out, const QString &text)
{
    const qsizetype first = text.indexOf(u'"');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'"', first + 1);
    const qsizetype cut = second < 0 ? text.size() : second + 1;
    out += text.left(cut);
    out += u"\r\n";
    const QString rest = text.mid(cut).trimmed();
    if (!rest.isEmpty() || second >= 0) {
        out += rest;
        out += u"\r\n";
    }
}

// The text after the value name's closing quote and " VALUE", trimmed.
QString valuePart(const QString &text)
{
    const qsizetype first = text.indexOf(u'"');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'"', first + 1);
    return second < 0 ? QString() : text.mid(second + 7).trimmed();
}

// The value part of an item or an action as an entry's fields: DELETE, NUMERIC n or a quoted text.
void readValue(DropdownEntryForm &f, QString rest, bool withDefaultMark)
{
    if (rest.startsWith(u"DELETE")) {
        f.deleteValue = true;
        return;
    }
    if (rest.startsWith(u"NUMERIC")) {
        f.numericValue = true;
        rest = rest.mid(7).trimmed();
    }
    if (withDefaultMark && rest.endsWith(u"DEFAULT")) {
        f.defaultMark = true;
        rest = rest.chopped(7).trimmed();
    }
    f.value = Unquote(rest.trimmed());
}

} // namespace

DropdownForm DropdownForm::load(const QStringList &lines)
{
    DropdownForm f;
    const qsizetype n = lines.size();
    for (qsizetype i = 1; i < n; ++i) {
        const QString &line = lines.at(i);
        f.readLine(line);
        if (line.startsWith(u"REQUIRED"))
            f.required = true;
        if (!line.startsWith(u"ITEMLIST"))
            continue;
        ++i;
        while (i < n && !lines.at(i).startsWith(u"END ITEMLIST")) {
            const QString &l = lines.at(i);
            if (l.startsWith(u"NAME") && i + 1 < n && lines.at(i + 1).startsWith(u"VALUE ")) {
                f.items.append({l + u' ' + lines.at(i + 1), {}});
                i += 2;
            } else if (l.startsWith(u"ACTIONLIST")) {
                ++i;
                QStringList actions;
                while (i < n && !lines.at(i).startsWith(u"END ACTIONLIST")) {
                    const QString &a = lines.at(i);
                    if (a.startsWith(u"KEYNAME")) {
                        actions.append(a);
                        ++i;
                    } else if (a.startsWith(u"VALUENAME") && i + 1 < n && lines.at(i + 1).startsWith(u"VALUE ")) {
                        actions.append(a + u' ' + lines.at(i + 1));
                        i += 2;
                    } else {
                        ++i;
                    }
                }
                if (!f.items.isEmpty())
                    f.items.last().actions += actions;
                ++i; // past END ACTIONLIST
            } else {
                ++i;
            }
        }
    }
    f.trimFields();
    return f;
}

std::optional<FieldError> DropdownForm::validate(const QString &inheritedKey) const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Dropdownlist name is empty")};
    if (keyMissing(inheritedKey))
        return FieldError{Keyname, QStringLiteral("Keyname not defined on this or a higher level")};
    if (valueNameMissing())
        return FieldError{ValueName, QStringLiteral("Value name empty")};
    if (items.isEmpty())
        return FieldError{ItemList, QStringLiteral("Minimum of one item required in list")};
    return std::nullopt;
}

QString DropdownForm::compose() const
{
    QString text = QStringLiteral("PART ") + Quote(description) + QStringLiteral(" DROPDOWNLIST\r\n");
    if (required)
        text += QStringLiteral("REQUIRED\r\n");
    text += keyLines();
    text += QStringLiteral("ITEMLIST\r\n");
    for (const DropdownItem &item : items) {
        appendSplit(text, item.text);
        if (item.actions.isEmpty())
            continue;
        text += QStringLiteral("ACTIONLIST\r\n");
        for (const QString &action : item.actions) {
            if (action.startsWith(u"KEYNAME"))
                text += action + QStringLiteral("\r\n");
            else
                appendSplit(text, action);
        }
        text += QStringLiteral("END ACTIONLIST\r\n");
    }
    return text + QStringLiteral("END ITEMLIST\r\nEND PART\r\n");
}

DropdownEntryForm DropdownEntryForm::fromItem(const QString &t)
{
    DropdownEntryForm f;
    f.target = Target::Item;
    if (t.startsWith(u"<new>") || !t.startsWith(u"NAME"))
        return f;
    const qsizetype first = t.indexOf(u'"');
    const qsizetype second = first < 0 ? -1 : t.indexOf(u'"', first + 1);
    f.name = Unquote(t.mid(4, second < 0 ? -1 : second - 3).trimmed());
    readValue(f, valuePart(t), true);
    return f;
}

DropdownEntryForm DropdownEntryForm::fromAction(const QString &t)
{
    DropdownEntryForm f;
    f.target = Target::Action;
    if (t.startsWith(u"KEYNAME")) {
        f.option = Option::Keyname;
        f.name = Unquote(t.mid(7).trimmed());
    } else if (t.startsWith(u"VALUENAME")) {
        f.option = Option::Valuename;
        f.name = Unquote(t.mid(9).trimmed());
        f.defaultName = f.name.isEmpty();
        readValue(f, valuePart(t), false);
    }
    return f;
}

bool DropdownEntryForm::deleteActive() const
{
    return deleteValue && !numericValue && (target == Target::Item || option == Option::Valuename);
}

bool DropdownEntryForm::numericActive() const
{
    return numericValue && !deleteValue && (target == Target::Item || option == Option::Valuename);
}

std::optional<FieldError> DropdownEntryForm::validate() const
{
    const auto plain = [](Field field, const QString &message) {
        return FieldError{field, message, FieldError::Focus::BeforeMessage, Message::Icon::None};
    };
    if (target == Target::Action) {
        if (option == Option::None)
            return plain(Name, QStringLiteral("Choose Keyname or Valuename for this entry first."));
        if (numericActive() && !isNumber(value))
            return plain(Value, QStringLiteral("Value is not numeric"));
        return std::nullopt;
    }
    if (name.trimmed().isEmpty())
        return FieldError{Name, kFieldEmpty};
    if (numericActive() && !isNumber(value))
        return plain(Value, QStringLiteral("Value is not numeric"));
    if (!deleteActive() && value.trimmed().isEmpty())
        return FieldError{Value, kFieldEmpty};
    return std::nullopt;
}

QString DropdownEntryForm::compose() const
{
    if (target == Target::Action) { // an action line as every action list writes it
        ActionItemForm action;
        action.keyname = option == Option::Keyname;
        action.name = name;
        action.value = value;
        action.deleteValue = deleteActive();
        action.numericValue = numericActive();
        action.defaultName = defaultName;
        return action.compose();
    }
    QString text = QStringLiteral("NAME ") + Quote(name);
    if (deleteActive())
        return text + QStringLiteral(" VALUE DELETE ");
    text += numericActive() ? QStringLiteral(" VALUE NUMERIC ") + value : QStringLiteral(" VALUE ") + Quote(value);
    if (defaultMarkActive() && defaultMark)
        text += QStringLiteral(" DEFAULT");
    return text;
}

} // namespace kova
