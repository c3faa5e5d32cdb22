#include "nodekeys.h"

#include "document/nodetext.h"
#include "document/templatedocument.h"

namespace kova {

QString Quote(const QString &text)
{
    return QLatin1Char('"') + text.trimmed() + QLatin1Char('"');
}

QString Unquote(const QString &text)
{
    const qsizetype q1 = text.indexOf(u'"');
    if (q1 < 0)
        return text;
    const qsizetype q2 = text.indexOf(u'"', q1 + 1);
    if (q2 < 0)
        return text.left(q1);
    return text.mid(q1 + 1, q2 - q1 - 1);
}

quint32 NodeHive(const TemplateNode *node)
{
    for (const TemplateNode *n = node; n; n = n->parent()) {
        if (n->kind() != NodeKind::Class)
            continue;
        if (n->text == kMachineCaption)
            return HKEY_LOCAL_MACHINE_HANDLE;
        if (n->text == kUserCaption)
            return HKEY_CURRENT_USER_HANDLE;
    }
    return 0;
}

QString NodeHiveName(const TemplateNode *node)
{
    switch (NodeHive(node)) {
    case HKEY_LOCAL_MACHINE_HANDLE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_CURRENT_USER_HANDLE: return QStringLiteral("HKEY_CURRENT_USER");
    default: return QString();
    }
}

QString NodeOwnKeyName(QStringView slotText)
{
    QStringList lines{QString()};
    SplitLines(slotText, lines);
    bool inActionList = false;
    QString key;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(u"ACTIONLIST"))
            inActionList = true;
        else if (line.startsWith(u"END ACTIONLIST"))
            inActionList = false;
        else if (!inActionList && line.startsWith(u"KEYNAME")) {
            key = Unquote(line.mid(7).trimmed());
            if (!key.startsWith(u'\\'))
                key.prepend(u'\\');
        }
    }
    return key;
}

QString NodeOwnKeyName(const TemplateDocument &document, int slot)
{
    return NodeOwnKeyName(document.texts().text(slot));
}

QString ActiveKeyPath(const TemplateDocument &document, const TemplateNode *node)
{
    for (const TemplateNode *n = node; n; n = n->parent()) {
        const QString own = NodeOwnKeyName(document, n->slot());
        if (!own.trimmed().isEmpty())
            return NodeHiveName(node) + own;
    }
    return QString();
}

} // namespace kova
