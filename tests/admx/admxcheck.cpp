#include "admxcheck.h"

#include <QHash>
#include <QProcess>
#include <QXmlStreamReader>

namespace kova::test {

namespace {

QString render(QXmlStreamReader &r)
{
    QString out = r.name().toString();
    if (!r.attributes().isEmpty()) {
        QStringList attributes;
        for (const QXmlStreamAttribute &a : r.attributes())
            attributes.append(a.name().toString() + u'=' + a.value().toString());
        out += u'{' + attributes.join(u' ') + u'}';
    }
    QStringList children;
    while (r.readNext() != QXmlStreamReader::EndElement && !r.atEnd()) {
        if (r.isStartElement())
            children.append(render(r));
        else if (r.isCharacters() && !r.isWhitespace())
            children.append(u'"' + r.text().toString() + u'"');
    }
    if (!children.isEmpty())
        out += u'[' + children.join(u' ') + u']';
    return out;
}

} // namespace

QString compactXml(const QByteArray &xml, const QString &path)
{
    const QStringList names = path.split(u'/');
    QXmlStreamReader r(xml);
    int depth = 0; // matched names so far
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() != names.at(depth)) {
                r.skipCurrentElement();
                continue;
            }
            if (++depth == names.size())
                return render(r);
        } else if (r.isEndElement()) {
            return QString(); // the matched parent ended without the next name
        }
    }
    return QString();
}

QString schemaErrors(const QString &file, const QString &schema)
{
    QProcess p;
    p.start(QStringLiteral(KOVA_XMLLINT), {"--noout", "--nonet", "--schema", schema, file});
    if (!p.waitForFinished(120000))
        return QStringLiteral("xmllint did not finish");
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardError()).left(2000);
}

} // namespace kova::test
