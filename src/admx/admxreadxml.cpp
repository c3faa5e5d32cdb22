#include "admxreadxml.h"

#include <QXmlStreamReader>

namespace kova::admx::xml {

namespace {

// Calls f for each child element of the element just opened; f reads the child to its end (or skips
// it with skipCurrentElement).
template<typename F>
void forChildren(QXmlStreamReader &r, F &&f)
{
    while (r.readNextStartElement())
        f(r.name());
}

AttributeMap attributesOf(const QXmlStreamReader &r)
{
    AttributeMap map;
    map.reserve(r.attributes().size());
    for (const QXmlStreamAttribute &a : r.attributes())
        map.insert(a.name().toString(), a.value().toString());
    return map;
}

QString attribute(const QXmlStreamReader &r, const char *name)
{
    return r.attributes().value(QLatin1String(name)).toString();
}

// The one value inside an element such as enabledValue or value.
Value readValue(QXmlStreamReader &r)
{
    Value v;
    forChildren(r, [&](QStringView name) {
        if (name == u"decimal" || name == u"longDecimal") {
            v.kind = name == u"decimal" ? Value::Kind::Decimal : Value::Kind::LongDecimal;
            v.text = attribute(r, "value");
            r.skipCurrentElement();
        } else if (name == u"string") {
            v.kind = Value::Kind::String;
            v.text = r.readElementText(QXmlStreamReader::SkipChildElements);
        } else {
            v.kind = name == u"delete" ? Value::Kind::Delete : v.kind;
            r.skipCurrentElement();
        }
    });
    return v;
}

ValueList readValueList(QXmlStreamReader &r)
{
    ValueList list;
    list.defaultKey = attribute(r, "defaultKey");
    forChildren(r, [&](QStringView name) {
        if (name != u"item") {
            r.skipCurrentElement();
            return;
        }
        ListItem item{attribute(r, "key"), attribute(r, "valueName"), {}};
        forChildren(r, [&](QStringView child) {
            if (child == u"value")
                item.value = readValue(r);
            else
                r.skipCurrentElement();
        });
        list.items.append(item);
    });
    return list;
}

Element readElement(QXmlStreamReader &r)
{
    Element e;
    e.kind = r.name().toString();
    e.attributes = attributesOf(r);
    forChildren(r, [&](QStringView name) {
        if (name == u"trueValue")
            e.trueValue = readValue(r);
        else if (name == u"falseValue")
            e.falseValue = readValue(r);
        else if (name == u"trueList")
            e.trueList = readValueList(r);
        else if (name == u"falseList")
            e.falseList = readValueList(r);
        else if (name == u"item") {
            EnumItem item;
            item.displayName = attribute(r, "displayName");
            forChildren(r, [&](QStringView child) {
                if (child == u"value")
                    item.value = readValue(r);
                else if (child == u"valueList")
                    item.valueList = readValueList(r);
                else
                    r.skipCurrentElement();
            });
            e.items.append(item);
        } else {
            r.skipCurrentElement();
        }
    });
    return e;
}

Policy readPolicy(QXmlStreamReader &r)
{
    Policy p;
    p.attributes = attributesOf(r);
    forChildren(r, [&](QStringView name) {
        if (name == u"parentCategory" || name == u"supportedOn") {
            (name == u"parentCategory" ? p.parentCategory : p.supportedOn) = attribute(r, "ref");
            r.skipCurrentElement();
        } else if (name == u"enabledValue") {
            p.enabledValue = readValue(r);
        } else if (name == u"disabledValue") {
            p.disabledValue = readValue(r);
        } else if (name == u"enabledList") {
            p.enabledList = readValueList(r);
        } else if (name == u"disabledList") {
            p.disabledList = readValueList(r);
        } else if (name == u"elements") {
            forChildren(r, [&](QStringView) { p.elements.append(readElement(r)); });
        } else {
            r.skipCurrentElement();
        }
    });
    return p;
}

QString failure(const QXmlStreamReader &r)
{
    return QStringLiteral("line %1: %2").arg(r.lineNumber()).arg(r.errorString());
}

} // namespace

QString readDefinitions(const QByteArray &bytes, Definitions &out)
{
    QXmlStreamReader r(bytes);
    if (!r.readNextStartElement() || r.name() != u"policyDefinitions")
        return r.hasError() ? failure(r) : QStringLiteral("this is no ADMX file (no policyDefinitions)");
    forChildren(r, [&](QStringView name) {
        if (name == u"policyNamespaces") {
            forChildren(r, [&](QStringView child) {
                if (child == u"target") {
                    out.prefix = attribute(r, "prefix");
                    out.targetNamespace = attribute(r, "namespace");
                } else if (child == u"using") {
                    out.usingNamespaces.insert(attribute(r, "prefix"), attribute(r, "namespace"));
                }
                r.skipCurrentElement();
            });
        } else if (name == u"supportedOn") {
            forChildren(r, [&](QStringView child) {
                if (child != u"definitions") {
                    r.skipCurrentElement();
                    return;
                }
                forChildren(r, [&](QStringView) {
                    out.supportedOn.insert(attribute(r, "name"), attribute(r, "displayName"));
                    r.skipCurrentElement();
                });
            });
        } else if (name == u"categories") {
            forChildren(r, [&](QStringView) {
                Category c{attribute(r, "name"), attribute(r, "displayName"), attribute(r, "explainText"), {}};
                forChildren(r, [&](QStringView child) {
                    if (child == u"parentCategory")
                        c.parentCategory = attribute(r, "ref");
                    r.skipCurrentElement();
                });
                out.categories.append(c);
            });
        } else if (name == u"policies") {
            forChildren(r, [&](QStringView) { out.policies.append(readPolicy(r)); });
        } else {
            r.skipCurrentElement();
        }
    });
    return r.hasError() ? failure(r) : QString();
}

QString readResources(const QByteArray &bytes, Resources &out)
{
    QXmlStreamReader r(bytes);
    if (!r.readNextStartElement() || r.name() != u"policyDefinitionResources")
        return r.hasError() ? failure(r) : QStringLiteral("this is no ADML file (no policyDefinitionResources)");
    const auto readControl = [&](QStringView kind) {
        Control c;
        c.kind = kind.toString();
        c.attributes = attributesOf(r);
        if (kind != u"textBox" && kind != u"comboBox") {
            c.text = r.readElementText(QXmlStreamReader::SkipChildElements);
            return c;
        }
        forChildren(r, [&](QStringView child) {
            const QString text = r.readElementText(QXmlStreamReader::SkipChildElements);
            if (child == u"label")
                c.text = text;
            else if (child == u"defaultValue" || child == u"default")
                c.defaultText = text;
            else if (child == u"suggestion")
                c.suggestions.append(text);
        });
        return c;
    };
    forChildren(r, [&](QStringView name) {
        if (name != u"resources") {
            r.skipCurrentElement();
            return;
        }
        forChildren(r, [&](QStringView tableName) {
            const QString table = tableName.toString(); // the reader's view goes as it reads on
            forChildren(r, [&](QStringView entry) {
                const QString id = attribute(r, "id");
                if (table == u"stringTable" && entry == u"string") {
                    out.strings.insert(id, r.readElementText(QXmlStreamReader::SkipChildElements));
                } else if (table == u"presentationTable" && entry == u"presentation") {
                    QList<Control> controls;
                    forChildren(r, [&](QStringView kind) { controls.append(readControl(kind)); });
                    out.presentations.insert(id, controls);
                } else {
                    r.skipCurrentElement();
                }
            });
        });
    });
    return r.hasError() ? failure(r) : QString();
}

} // namespace kova::admx::xml
