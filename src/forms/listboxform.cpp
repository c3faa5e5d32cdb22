#include "listboxform.h"

#include "document/nodekeys.h"

namespace kova {

ListboxForm ListboxForm::load(const QStringList &lines)
{
    ListboxForm f;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(u"PART"))
            f.description = Unquote(line.mid(4).trimmed()).trimmed();
        if (line.startsWith(u"KEYNAME"))
            f.keyname = Unquote(line.mid(7).trimmed()).trimmed();
        if (line.startsWith(u"VALUEPREFIX"))
            f.valuePrefix = Unquote(line.mid(11).trimmed()).trimmed();
        if (line.startsWith(u"EXPLICITVALUE"))
            f.explicitValue = true;
        if (line.startsWith(u"ADDITIVE"))
            f.additive = true;
    }
    return f;
}

std::optional<FieldError> ListboxForm::validate(const QString &inheritedKey) const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Description name is empty")};
    if (keyname.trimmed().isEmpty() && inheritedKey.isEmpty())
        return FieldError{Keyname, QStringLiteral("Keyname not defined on this or a higher level")};
    return std::nullopt;
}

QString ListboxForm::compose() const
{
    QString text = QStringLiteral("PART ") + Quote(description) + QStringLiteral(" LISTBOX\r\n");
    if (!keyname.trimmed().isEmpty())
        text += QStringLiteral("KEYNAME ") + Quote(keyname) + QStringLiteral("\r\n");
    text += QStringLiteral("VALUEPREFIX ") + Quote(valuePrefix) + QStringLiteral("\r\n");
    if (explicitValue)
        text += QStringLiteral("EXPLICITVALUE\r\n");
    if (additive)
        text += QStringLiteral("ADDITIVE\r\n");
    return text + QStringLiteral("END PART\r\n");
}

} // namespace kova
