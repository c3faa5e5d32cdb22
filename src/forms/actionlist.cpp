#include "actionlist.h"

#include "document/nodekeys.h"

namespace kova {

namespace {

// The 1-based position of the first double quote and of the next one after it, 0 where there is
// none; a second search starts from the beginning when there is no first quote, as the item texts
// are read everywhere.
struct QuotePair
{
    qsizetype q1 = 0;
    qsizetype q2 = 0;
};

QuotePair quotePair(QStringView text)
{
    QuotePair p;
    p.q1 = text.indexOf(u'"') + 1;
    p.q2 = text.indexOf(u'"', p.q1) + 1;
    return p;
}

// The text from 1-based position from on (empty past the end).
QStringView from(QStringView text, qsizetype position)
{
    const qsizetype index = std::max<qsizetype>(position - 1, 0);
    return index >= text.size() ? QStringView() : text.mid(index);
}

void composeBlock(QString &out, const QStringList &items, QStringView start, QStringView end)
{
    out += start;
    out += u"\r\n";
    for (const QString &item : items) {
        if (item.startsWith(u"KEYNAME")) {
            out += item;
            out += u"\r\n";
        } else if (item.startsWith(u"VALUENAME")) {
            const QString r = item.mid(9).trimmed();
            const QuotePair p = quotePair(r);
            out += u"VALUENAME ";
            out += QStringView(r).left(p.q2).trimmed();
            out += u"\r\n";
            const QStringView v = from(r, p.q2 + 7).trimmed();
            out += u"VALUE ";
            if (v.startsWith(u"DELETE")) {
                out += u"DELETE";
            } else if (v.startsWith(u"NUMERIC")) {
                const qsizetype blank = v.indexOf(u' ');
                out += u"NUMERIC ";
                if (blank >= 0)
                    out += v.mid(blank + 1).trimmed();
            } else {
                out += v;
            }
            out += u"\r\n";
        }
    }
    out += end;
    out += u"\r\n";
}

} // namespace

void ReadActionListBlock(const QStringList &lines, qsizetype &i, QStringList &list, QStringView endLine)
{
    const qsizetype last = lines.size() - 1;
    ++i;
    QString acc;
    while (i < last && lines.at(i) != endLine) {
        acc += u' ';
        acc += lines.at(i);
        if (lines.at(i).startsWith(u"KEYNAME") || lines.at(i).startsWith(u"VALUE ")) {
            list.append(acc.trimmed());
            acc.clear();
        }
        ++i;
    }
}

QString ComposeActionLists(bool onBox, bool offBox, const QStringList &onList, const QStringList &offList)
{
    QString out;
    if (onBox)
        composeBlock(out, onList, u"ACTIONLISTON", u"END ACTIONLISTON");
    if (offBox)
        composeBlock(out, offList, u"ACTIONLISTOFF", u"END ACTIONLISTOFF");
    return out;
}

ActionItemForm ActionItemForm::fromItem(const QString &t, NumericItemValue numeric)
{
    ActionItemForm f;
    if (t.startsWith(kNewItem)) {
        f.keyname = true;
    } else if (t.startsWith(u"KEYNAME")) {
        f.keyname = true;
        f.name = Unquote(t.mid(7).trimmed());
    } else if (t.startsWith(u"VALUENAME")) {
        f.keyname = false;
        const QuotePair p = quotePair(t);
        f.name = Unquote(t.left(p.q2));
        f.defaultName = f.name.isEmpty();
        const QString v = from(t, p.q2 + 7).trimmed().toString();
        if (v.startsWith(u"DELETE")) {
            f.deleteValue = true;
        } else if (v.startsWith(u"NUMERIC")) {
            f.numericValue = true;
            if (numeric == NumericItemValue::AsStored) {
                const qsizetype blank = v.indexOf(u' ');
                f.value = blank < 0 ? QString() : v.mid(blank + 1).trimmed();
            } else {
                f.value = Unquote(v.mid(7).trimmed());
            }
        } else {
            f.value = Unquote(v);
        }
    }
    return f;
}

std::optional<FieldError> ActionItemForm::validate() const
{
    if (numericActive() && !isNumber(value))
        return FieldError{Value, QStringLiteral("Value is not numeric"), FieldError::Focus::BeforeMessage,
                          Message::Icon::None};
    return std::nullopt;
}

QString ActionItemForm::compose() const
{
    if (keyname)
        return QStringLiteral("KEYNAME ") + Quote(name);
    QString text = QStringLiteral("VALUENAME ") + (defaultName ? QStringLiteral("\"\"") : Quote(name));
    if (deleteActive())
        return text + QStringLiteral(" VALUE DELETE ");
    if (numericActive())
        return text + QStringLiteral(" VALUE NUMERIC ") + value;
    return text + QStringLiteral(" VALUE ") + Quote(value);
}

} // namespace kova
