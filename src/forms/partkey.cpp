#include "partkey.h"

#include "document/nodekeys.h"

namespace kova {

void PartKey::readLine(const QString &line)
{
    if (line.startsWith(u"PART"))
        description = Unquote(line.mid(4).trimmed());
    if (line.startsWith(u"KEYNAME"))
        keyname = Unquote(line.mid(7).trimmed());
    if (line.startsWith(u"VALUENAME")) {
        valueName = Unquote(line.mid(9).trimmed());
        defaultName = valueName.isEmpty();
    }
}

void PartKey::trimFields()
{
    description = description.trimmed();
    keyname = keyname.trimmed();
    valueName = valueName.trimmed();
}

QString PartKey::keyLines() const
{
    QString text;
    if (!keyname.trimmed().isEmpty())
        text += QStringLiteral("KEYNAME ") + Quote(keyname) + QStringLiteral("\r\n");
    if (defaultName.value_or(false))
        text += QStringLiteral("VALUENAME \"\"\r\n");
    else if (!valueName.trimmed().isEmpty())
        text += QStringLiteral("VALUENAME ") + Quote(valueName) + QStringLiteral("\r\n");
    return text;
}

} // namespace kova
