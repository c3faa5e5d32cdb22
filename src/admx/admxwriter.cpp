// Writes the model as the policyDefinitions (ADMX) and policyDefinitionResources (ADML) documents.
#include "admxmodel.h"

#include <QXmlStreamWriter>

namespace kova::admx {

namespace {

const QString kSchemaNamespace = QStringLiteral("http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions");
const QString kXsd = QStringLiteral("http://www.w3.org/2001/XMLSchema");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

// XML 1.0 cannot hold control characters other than TAB, LF and CR, nor unpaired surrogates.
QString xmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate() || (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                   c.unicode() == 0xfffe || c.unicode() == 0xffff) {
            continue;
        } else {
            out += c;
        }
    }
    return out;
}

QString stringRef(const QString &id)
{
    return QStringLiteral("$(string.") + id + u')';
}

class Xml
{
public:
    Xml() : m_writer(&m_bytes)
    {
        m_writer.setAutoFormatting(true);
        m_writer.setAutoFormattingIndent(2);
        m_writer.writeStartDocument();
    }
    QXmlStreamWriter *operator->() { return &m_writer; }
    void attribute(const QString &name, const QString &value) { m_writer.writeAttribute(name, xmlText(value)); }
    void attributes(const Attributes &list)
    {
        for (const auto &[name, value] : list)
            attribute(name, value);
    }
    void text(const QString &element, const QString &value) { m_writer.writeTextElement(element, xmlText(value)); }
    void root(const QString &name)
    {
        m_writer.writeDefaultNamespace(kSchemaNamespace);
        m_writer.writeNamespace(kXsd, QStringLiteral("xsd"));
        m_writer.writeNamespace(kXsi, QStringLiteral("xsi"));
        m_writer.writeStartElement(kSchemaNamespace, name);
        attribute(QStringLiteral("revision"), QStringLiteral("1.0"));
        attribute(QStringLiteral("schemaVersion"), QStringLiteral("1.0"));
    }
    QByteArray finish()
    {
        m_writer.writeEndDocument();
        return m_bytes;
    }

    // value: one of decimal, string or delete.
    void value(const RegValue &v)
    {
        switch (v.kind) {
        case RegValue::Kind::Decimal:
            m_writer.writeEmptyElement(QStringLiteral("decimal"));
            attribute(QStringLiteral("value"), v.text);
            break;
        case RegValue::Kind::String: text(QStringLiteral("string"), v.text); break;
        case RegValue::Kind::Delete: m_writer.writeEmptyElement(QStringLiteral("delete")); break;
        }
    }
    void valueElement(const QString &name, const std::optional<RegValue> &v)
    {
        if (!v)
            return;
        m_writer.writeStartElement(name);
        value(*v);
        m_writer.writeEndElement();
    }
    void itemList(const QString &name, const QList<RegItem> &items)
    {
        if (items.isEmpty())
            return;
        m_writer.writeStartElement(name);
        for (const RegItem &item : items) {
            m_writer.writeStartElement(QStringLiteral("item"));
            attribute(QStringLiteral("key"), item.key);
            attribute(QStringLiteral("valueName"), item.valueName);
            valueElement(QStringLiteral("value"), item.value);
            m_writer.writeEndElement();
        }
        m_writer.writeEndElement();
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_writer;
};

void writeElement(Xml &x, const Element &e)
{
    x->writeStartElement(e.type);
    x.attributes(e.attributes);
    x.valueElement(QStringLiteral("trueValue"), e.trueValue);
    x.valueElement(QStringLiteral("falseValue"), e.falseValue);
    x.itemList(QStringLiteral("trueList"), e.trueList);
    x.itemList(QStringLiteral("falseList"), e.falseList);
    for (const EnumItem &item : e.items) {
        x->writeStartElement(QStringLiteral("item"));
        x.attribute(QStringLiteral("displayName"), stringRef(item.stringId));
        x.valueElement(QStringLiteral("value"), item.value);
        x.itemList(QStringLiteral("valueList"), item.valueList);
        x->writeEndElement();
    }
    x->writeEndElement();
}

void writePolicy(Xml &x, const Policy &p)
{
    x->writeStartElement(QStringLiteral("policy"));
    x.attribute(QStringLiteral("name"), p.name);
    x.attribute(QStringLiteral("class"), p.className);
    x.attribute(QStringLiteral("displayName"), stringRef(p.captionId));
    if (!p.explainId.isEmpty())
        x.attribute(QStringLiteral("explainText"), stringRef(p.explainId));
    if (!p.elements.isEmpty())
        x.attribute(QStringLiteral("presentation"), QStringLiteral("$(presentation.") + p.name + u')');
    x.attribute(QStringLiteral("key"), p.key);
    if (p.valueName)
        x.attribute(QStringLiteral("valueName"), *p.valueName);
    x->writeEmptyElement(QStringLiteral("parentCategory"));
    x.attribute(QStringLiteral("ref"), p.category);
    x->writeEmptyElement(QStringLiteral("supportedOn"));
    x.attribute(QStringLiteral("ref"), p.supportedOn);
    x.valueElement(QStringLiteral("enabledValue"), p.enabledValue);
    x.valueElement(QStringLiteral("disabledValue"), p.disabledValue);
    x.itemList(QStringLiteral("enabledList"), p.enabledList);
    x.itemList(QStringLiteral("disabledList"), p.disabledList);
    bool any = false;
    for (const Element &e : p.elements)
        any = any || !e.type.isEmpty();
    if (any) {
        x->writeStartElement(QStringLiteral("elements"));
        for (const Element &e : p.elements)
            if (!e.type.isEmpty())
                writeElement(x, e);
        x->writeEndElement();
    }
    x->writeEndElement();
}

void writeControl(Xml &x, const Element &e)
{
    const bool labelElement = e.control == u"textBox" || e.control == u"comboBox";
    if (!labelElement) {
        x->writeStartElement(e.control);
        x.attributes(e.controlAttributes);
        x->writeCharacters(xmlText(e.label));
        x->writeEndElement();
        return;
    }
    x->writeStartElement(e.control);
    x.attributes(e.controlAttributes);
    x.text(QStringLiteral("label"), e.label);
    if (e.defaultText)
        x.text(e.control == u"textBox" ? QStringLiteral("defaultValue") : QStringLiteral("default"), *e.defaultText);
    for (const QString &s : e.suggestions)
        x.text(QStringLiteral("suggestion"), s);
    x->writeEndElement();
}

} // namespace

QByteArray writeAdmx(const Model &model, const ExportOptions &options)
{
    Xml x;
    x.root(QStringLiteral("policyDefinitions"));
    x->writeStartElement(QStringLiteral("policyNamespaces"));
    x->writeEmptyElement(QStringLiteral("target"));
    x.attribute(QStringLiteral("prefix"), options.prefix);
    x.attribute(QStringLiteral("namespace"), options.targetNamespace);
    x->writeEndElement();
    x->writeEmptyElement(QStringLiteral("resources"));
    x.attribute(QStringLiteral("minRequiredRevision"), QStringLiteral("1.0"));
    if (!model.supported.isEmpty()) {
        x->writeStartElement(QStringLiteral("supportedOn"));
        x->writeStartElement(QStringLiteral("definitions"));
        for (const SupportedOn &s : model.supported) {
            x->writeEmptyElement(QStringLiteral("definition"));
            x.attribute(QStringLiteral("name"), s.name);
            x.attribute(QStringLiteral("displayName"), stringRef(s.textId));
        }
        x->writeEndElement();
        x->writeEndElement();
    }
    if (!model.categories.isEmpty()) {
        x->writeStartElement(QStringLiteral("categories"));
        for (const Category &c : model.categories) {
            x->writeStartElement(QStringLiteral("category"));
            x.attribute(QStringLiteral("name"), c.name);
            x.attribute(QStringLiteral("displayName"), stringRef(c.captionId));
            if (!c.explainId.isEmpty())
                x.attribute(QStringLiteral("explainText"), stringRef(c.explainId));
            if (!c.parent.isEmpty()) {
                x->writeEmptyElement(QStringLiteral("parentCategory"));
                x.attribute(QStringLiteral("ref"), c.parent);
            }
            x->writeEndElement();
        }
        x->writeEndElement();
    }
    if (!model.policies.isEmpty()) {
        x->writeStartElement(QStringLiteral("policies"));
        for (const Policy &p : model.policies)
            writePolicy(x, p);
        x->writeEndElement();
    }
    x->writeEndElement();
    return x.finish();
}

QByteArray writeAdml(const Model &model, const ExportOptions &options)
{
    Xml x;
    x.root(QStringLiteral("policyDefinitionResources"));
    x.text(QStringLiteral("displayName"), options.name);
    x.text(QStringLiteral("description"),
           QStringLiteral("Policies of %1, exported from its ADM template.").arg(options.name));
    x->writeStartElement(QStringLiteral("resources"));
    // Either table, when written, holds at least one entry.
    if (!model.supported.isEmpty() || !model.categories.isEmpty() || !model.policies.isEmpty())
        x->writeStartElement(QStringLiteral("stringTable"));
    const auto string = [&](const QString &id, const QString &text) {
        x->writeStartElement(QStringLiteral("string"));
        x.attribute(QStringLiteral("id"), id);
        x->writeCharacters(xmlText(text));
        x->writeEndElement();
    };
    for (const SupportedOn &s : model.supported)
        string(s.textId, s.text);
    for (const Category &c : model.categories) {
        string(c.captionId, c.caption);
        if (!c.explainId.isEmpty())
            string(c.explainId, c.explain);
    }
    for (const Policy &p : model.policies) {
        string(p.captionId, p.caption);
        if (!p.explainId.isEmpty())
            string(p.explainId, p.explain);
        for (const Element &e : p.elements)
            for (const EnumItem &item : e.items)
                string(item.stringId, item.caption);
    }
    if (!model.supported.isEmpty() || !model.categories.isEmpty() || !model.policies.isEmpty())
        x->writeEndElement();
    bool presentations = false;
    for (const Policy &p : model.policies) {
        if (p.elements.isEmpty())
            continue;
        if (!std::exchange(presentations, true))
            x->writeStartElement(QStringLiteral("presentationTable"));
        x->writeStartElement(QStringLiteral("presentation"));
        x.attribute(QStringLiteral("id"), p.name);
        for (const Element &e : p.elements)
            writeControl(x, e);
        x->writeEndElement();
    }
    if (presentations)
        x->writeEndElement();
    x->writeEndElement();
    x->writeEndElement();
    return x.finish();
}

} // namespace kova::admx
