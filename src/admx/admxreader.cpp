// Reads the template tree and each node's own ADM lines into the ADMX model. Whatever has no ADMX
// form becomes a warning naming the policy, so nothing is left out without a word.
#include "admlines.h"
#include "admxmodel.h"
#include "admxnames.h"

#include "document/templatedocument.h"
#include "document/templatenode.h"
#include "document/nodekeys.h"

#include <QHash>
#include <QRegularExpression>

namespace kova::admx {

namespace {

const QString kMachine = QStringLiteral("Machine");
const QString kUser = QStringLiteral("User");
const QString kBoth = QStringLiteral("Both");
constexpr QChar kSeparator = u'\x1f';

// Registry keys in ADMX are relative paths without a leading or trailing backslash.
QString normalizedKey(const QString &key)
{
    QString k = key.trimmed();
    while (k.startsWith(u'\\'))
        k.remove(0, 1);
    while (k.endsWith(u'\\'))
        k.chop(1);
    return k;
}

// Templates write a line break as backslash and n, in explanations and in captions, labels and item
// names alike.
QString displayText(const QString &text)
{
    return QString(text).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

std::optional<quint32> unsignedNumber(const QString &text)
{
    bool ok = false;
    const qulonglong n = text.trimmed().toULongLong(&ok, 10);
    if (!ok || n > 0xffffffffull)
        return std::nullopt;
    return quint32(n);
}

bool isGuid(const QString &text)
{
    static const QRegularExpression guid(
        QStringLiteral("^\\{[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}\\}$"));
    return guid.match(text).hasMatch();
}

// Which part types each statement of a part belongs to; any other statement has no ADMX form.
bool partAccepts(const QString &keyword, const QString &type)
{
    static const QHash<QString, QStringList> table = {
        {QStringLiteral("VALUENAME"), {"CHECKBOX", "COMBOBOX", "DROPDOWNLIST", "EDITTEXT", "NUMERIC"}},
        {QStringLiteral("REQUIRED"), {"COMBOBOX", "DROPDOWNLIST", "EDITTEXT", "NUMERIC"}},
        {QStringLiteral("EXPANDABLETEXT"), {"COMBOBOX", "EDITTEXT", "LISTBOX"}},
        {QStringLiteral("MAXLEN"), {"COMBOBOX", "EDITTEXT"}},
        {QStringLiteral("DEFAULT"), {"COMBOBOX", "EDITTEXT", "NUMERIC"}},
        {QStringLiteral("MIN"), {"NUMERIC"}},
        {QStringLiteral("MAX"), {"NUMERIC"}},
        {QStringLiteral("SPIN"), {"NUMERIC"}},
        {QStringLiteral("TXTCONVERT"), {"NUMERIC"}},
        {QStringLiteral("DEFCHECKED"), {"CHECKBOX"}},
        {QStringLiteral("VALUEON"), {"CHECKBOX"}},
        {QStringLiteral("VALUEOFF"), {"CHECKBOX"}},
        {QStringLiteral("ACTIONLISTON"), {"CHECKBOX"}},
        {QStringLiteral("ACTIONLISTOFF"), {"CHECKBOX"}},
        {QStringLiteral("SUGGESTIONS"), {"COMBOBOX"}},
        {QStringLiteral("NOSORT"), {"COMBOBOX", "DROPDOWNLIST"}},
        {QStringLiteral("ITEMLIST"), {"DROPDOWNLIST"}},
        {QStringLiteral("VALUEPREFIX"), {"LISTBOX"}},
        {QStringLiteral("EXPLICITVALUE"), {"LISTBOX"}},
        {QStringLiteral("ADDITIVE"), {"LISTBOX"}},
    };
    return table.value(keyword).contains(type);
}

bool opensBlock(const QString &keyword)
{
    return keyword == u"SUGGESTIONS" || keyword == u"ITEMLIST" || keyword.startsWith(u"ACTIONLIST");
}

// The position of the END line that closes the block opened at i (or the last statement).
qsizetype blockEnd(const QList<AdmStatement> &st, qsizetype i)
{
    const QString word = st[i].keyword;
    for (qsizetype k = i + 1; k < st.size(); ++k)
        if (st[k].keyword == u"END" && st[k].argument(0) == word)
            return k;
    return st.size() - 1;
}

class Reader
{
public:
    Reader(const TemplateDocument &document, const QString &name) : m_document(document), m_name(name) {}

    Model run()
    {
        if (const TemplateNode *root = m_document.root()) {
            for (int i = 0; i < root->childCount(); ++i) {
                const TemplateNode *cls = root->child(i);
                classNode(cls);
            }
        }
        supportedOnFallback();
        return std::move(m_model);
    }

private:
    using Warnings = QList<Warning>;
    using Warn = std::function<void(const QString &)>;

    void classNode(const TemplateNode *cls)
    {
        const QString className = cls->text == kUser ? kUser : kMachine;
        for (const AdmStatement &s : readStatements(m_document.nodeText(cls)))
            if (s.keyword != u"CLASS")
                m_model.warnings.append({cls->text, unsupported(s)});
        children(cls, className, QString(), QString(), QString());
    }

    void children(const TemplateNode *node, const QString &className, const QString &path, const QString &category,
                  const QString &key)
    {
        for (int i = 0; i < node->childCount(); ++i) {
            const TemplateNode *c = node->child(i);
            if (c->kind() == NodeKind::Category)
                categoryNode(c, className, path, category, key);
            else if (c->kind() == NodeKind::Policy)
                policyNode(c, className, path, category, key);
            else
                m_model.warnings.append(
                    {c->text, QStringLiteral("The part stands outside any policy and was left out.")});
        }
    }

    static QString unsupported(const AdmStatement &s)
    {
        return QStringLiteral("The statement %1 has no ADMX equivalent and was left out.").arg(s.line);
    }

    QString ownKey(const TemplateNode *node, const QString &inherited) const
    {
        const QString own = normalizedKey(NodeOwnKeyName(m_document.nodeText(node)));
        return own.isEmpty() ? inherited : own;
    }

    void categoryNode(const TemplateNode *node, const QString &className, const QString &parentPath,
                      const QString &parent, const QString &inheritedKey)
    {
        const QString path = parentPath + kSeparator + node->text;
        auto known = m_categoryByPath.constFind(path);
        QString name;
        if (known != m_categoryByPath.constEnd()) {
            name = m_model.categories.at(*known).name;
        } else {
            Category c;
            c.caption = displayText(node->text);
            c.parent = parent;
            name = c.name = c.captionId = m_names.take(baseName(c.caption, {}, QStringLiteral("Category")));
            for (const AdmStatement &s : readStatements(m_document.nodeText(node))) {
                if (s.keyword == u"EXPLAIN") {
                    c.explain = displayText(s.argument(0));
                    c.explainId = m_names.take(c.name + QStringLiteral("_Explain"));
                } else if (s.keyword != u"CATEGORY" && s.keyword != u"KEYNAME" && s.keyword != u"END") {
                    m_model.warnings.append({node->text, unsupported(s)});
                }
            }
            m_categoryByPath.insert(path, m_model.categories.size());
            m_model.categories.append(c);
        }
        children(node, className, path, name, ownKey(node, inheritedKey));
    }

    static QString baseName(const QString &caption, const QString &second, const QString &fallback)
    {
        QString id = readableId(caption);
        if (id.isEmpty())
            id = readableId(second);
        return id.isEmpty() ? fallback : id;
    }

    QString fallbackCategory()
    {
        if (m_fallbackCategory.isEmpty()) {
            Category c;
            c.caption = m_name;
            c.name = c.captionId = m_fallbackCategory = m_names.take(baseName(m_name, {}, QStringLiteral("Category")));
            m_model.categories.append(c);
        }
        return m_fallbackCategory;
    }

    // Every ADMX policy names what it is supported on: a policy whose template names nothing gets a
    // definition of this file's own, said once for all of them.
    void supportedOnFallback()
    {
        qsizetype without = 0;
        for (const Policy &p : std::as_const(m_model.policies))
            without += p.supportedOn.isEmpty() ? 1 : 0;
        if (without == 0)
            return;
        SupportedOn s;
        s.text = QStringLiteral("Not stated in the template");
        s.name = s.textId = m_names.take(QStringLiteral("SUPPORTED_NotStated"));
        m_model.supported.append(s);
        for (Policy &p : m_model.policies)
            if (p.supportedOn.isEmpty())
                p.supportedOn = s.name;
        m_model.warnings.append(
            {m_name,
             QStringLiteral("%1 of %2 policies name no SUPPORTED text; they refer to the definition %3 (\"%4\").")
                 .arg(without)
                 .arg(m_model.policies.size())
                 .arg(s.name, s.text)});
    }

    QString supportedOn(const QString &text)
    {
        auto it = m_supportedByText.constFind(text);
        if (it != m_supportedByText.constEnd())
            return *it;
        SupportedOn s;
        s.text = displayText(text);
        s.name = s.textId = m_names.take(QStringLiteral("SUPPORTED_") + baseName(text, {}, QStringLiteral("Text")));
        m_model.supported.append(s);
        m_supportedByText.insert(text, s.name);
        return s.name;
    }

    // A value in ADMX form; a number is a registry DWORD (negative numbers as their 32-bit pattern),
    // or a text when it needs more bits.
    static RegValue regValue(const AdmValue &v, const std::function<void(const QString &)> &warn)
    {
        switch (v.kind) {
        case AdmValue::Kind::Delete: return {RegValue::Kind::Delete, {}};
        case AdmValue::Kind::Number: {
            bool ok = false;
            const qlonglong n = v.text.trimmed().toLongLong(&ok, 10);
            if (ok && n >= -0x80000000ll && n <= 0xffffffffll)
                return {RegValue::Kind::Decimal, QString::number(quint32(n))};
            bool okLong = false;
            const qulonglong u = v.text.trimmed().toULongLong(&okLong, 10);
            if (okLong) {
                // The schema's values are 32-bit decimals, texts and deletions.
                warn(QStringLiteral("The number %1 is wider than an ADMX decimal; it was written as a text.")
                         .arg(v.text));
                return {RegValue::Kind::String, QString::number(u)};
            }
            warn(QStringLiteral("The number %1 is no whole number ADMX can hold; it was written as a text.")
                     .arg(v.text));
            return {RegValue::Kind::String, v.text};
        }
        case AdmValue::Kind::Text:
        case AdmValue::Kind::None: break;
        }
        return {RegValue::Kind::String, v.text};
    }

    // Reads the action list that opens at i into items; i moves to its END line. KEYNAME sets the key
    // of the actions after it; a key without a value to set has no ADMX form.
    static void actionList(const QList<AdmStatement> &st, qsizetype &i, const QString &defaultKey,
                           QList<RegItem> &items, const std::function<void(const QString &)> &warn)
    {
        const qsizetype end = blockEnd(st, i);
        QString key = defaultKey;
        bool keyUsed = true;
        std::optional<QString> valueName;
        const auto keyWithoutValue = [&] {
            if (!keyUsed)
                warn(QStringLiteral("The action list names the key %1 without a value to write; ADMX cannot "
                                    "create a bare key, so it was left out.")
                         .arg(key));
        };
        for (qsizetype k = i + 1; k < end; ++k) {
            const AdmStatement &s = st[k];
            if (s.keyword == u"KEYNAME") {
                keyWithoutValue();
                key = normalizedKey(s.argument(0));
                keyUsed = false;
            } else if (s.keyword == u"VALUENAME") {
                if (valueName)
                    warn(QStringLiteral("The action for the value %1 has no VALUE and was left out.").arg(*valueName));
                valueName = s.argument(0);
            } else if (s.keyword == u"VALUE" && valueName) {
                items.append({key, *valueName, regValue(readValue(s), warn)});
                valueName.reset();
                keyUsed = true;
            } else {
                warn(unsupported(s));
            }
        }
        if (valueName)
            warn(QStringLiteral("The action for the value %1 has no VALUE and was left out.").arg(*valueName));
        keyWithoutValue();
        i = end;
    }

    QString signatureOf(const TemplateNode *node, const QString &path, const QString &key) const
    {
        QString s = path + kSeparator + key + kSeparator + m_document.nodeText(node);
        for (int i = 0; i < node->childCount(); ++i)
            s += kSeparator + node->child(i)->kind() + m_document.nodeText(node->child(i));
        return s;
    }

    void policyNode(const TemplateNode *node, const QString &className, const QString &path, QString category,
                    const QString &inheritedKey)
    {
        // The same policy in the other class is one ADMX policy of class Both.
        const QString signature = signatureOf(node, path, inheritedKey);
        if (auto it = m_policyBySignature.find(signature); it != m_policyBySignature.end()) {
            Policy &twin = m_model.policies[it->first];
            if (it->second != className && twin.className != kBoth) {
                twin.className = kBoth;
                return;
            }
        }

        Warnings warnings;
        const auto warn = [&](const QString &text) { warnings.append({node->text, text}); };
        const QList<AdmStatement> st = readStatements(m_document.nodeText(node));
        Policy p;
        p.className = className;
        p.caption = displayText(node->text);
        p.key = ownKey(node, inheritedKey);
        std::optional<AdmValue> on, off;
        for (qsizetype i = 0; i < st.size(); ++i) {
            const AdmStatement &s = st[i];
            const QString &kw = s.keyword;
            if (kw == u"POLICY" || kw == u"KEYNAME" || kw == u"END") {
                continue;
            } else if (kw == u"VALUENAME") {
                p.valueName = s.argument(0);
            } else if (kw == u"VALUEON") {
                on = readValue(s);
            } else if (kw == u"VALUEOFF") {
                off = readValue(s);
            } else if (kw == u"ACTIONLISTON") {
                actionList(st, i, p.key, p.enabledList, warn);
            } else if (kw == u"ACTIONLISTOFF") {
                actionList(st, i, p.key, p.disabledList, warn);
            } else if (kw == u"EXPLAIN") {
                p.explain = displayText(s.argument(0));
            } else if (kw == u"SUPPORTED") {
                p.supportedOn = supportedOn(s.argument(0));
            } else if (kw == u"CLIENTEXT" && isGuid(s.argument(0))) {
                p.clientExtension = s.argument(0);
            } else {
                warn(unsupported(s));
                if (opensBlock(kw))
                    i = blockEnd(st, i);
            }
        }
        if ((on || off) && !p.valueName) {
            warn(QStringLiteral("VALUEON and VALUEOFF need a VALUENAME in ADMX; they were left out."));
        } else {
            if (on)
                p.enabledValue = regValue(*on, warn);
            if (off)
                p.disabledValue = regValue(*off, warn);
        }
        if (p.key.isEmpty()) {
            // ADMX needs a key on the policy; take the first one a part names.
            for (int i = 0; i < node->childCount() && p.key.isEmpty(); ++i)
                p.key = ownKey(node->child(i), QString());
        }
        if (p.key.isEmpty()) {
            warn(QStringLiteral("The policy names no registry key on any level and was left out."));
            m_model.warnings.append(warnings);
            return;
        }
        if (category.isEmpty()) {
            category = fallbackCategory();
            warn(
                QStringLiteral("The policy stands outside any category; it was put into the category %1.").arg(m_name));
        }
        p.category = category;
        p.name = p.captionId = m_names.take(baseName(p.caption, p.valueName.value_or(QString()), "Policy"));
        if (!p.explain.isEmpty())
            p.explainId = m_names.take(p.name + QStringLiteral("_Explain"));

        UniqueNames elementIds;
        for (int i = 0; i < node->childCount(); ++i)
            if (std::optional<Element> e = part(node->child(i), p, elementIds, warn))
                p.elements.append(*e);
        placeClientExtension(p, warn);

        m_policyBySignature.insert(signature, {m_model.policies.size(), className});
        m_model.policies.append(p);
        m_model.warnings.append(warnings);
    }

    // ADMX names a client extension on each element that writes a value, not on the policy: it is
    // put on every element of the policy, and left out (with a word) when the policy has none.
    static void placeClientExtension(Policy &p, const std::function<void(const QString &)> &warn)
    {
        if (p.clientExtension.isEmpty())
            return;
        bool placed = false;
        for (Element &e : p.elements) {
            if (e.type.isEmpty())
                continue;
            e.attributes.insert(1, {QStringLiteral("clientExtension"), p.clientExtension});
            placed = true;
        }
        if (!placed)
            warn(QStringLiteral("CLIENTEXT %1 has no place in ADMX on a policy without parts; it was left out.")
                     .arg(p.clientExtension));
        p.clientExtension.clear();
    }

    // A part's ADMX element and presentation control: its statements are read, then given the form
    // of its type.
    std::optional<Element> part(const TemplateNode *node, const Policy &policy, UniqueNames &ids,
                                const std::function<void(const QString &)> &policyWarn)
    {
        const Warn warn = [&](const QString &text) { policyWarn(node->text + QStringLiteral(": ") + text); };
        const QList<AdmStatement> st = readStatements(m_document.nodeText(node));
        if (st.isEmpty() || st.first().keyword != u"PART") {
            warn(QStringLiteral("The part has no PART line and was left out."));
            return std::nullopt;
        }
        const QString type = st.first().argument(1);
        const QString key = ownKey(node, policy.key);

        Element e;
        e.label = displayText(node->text);
        const QString id = type == u"TEXT" ? QString() : ids.take(baseName(e.label, {}, QStringLiteral("Part")));
        const PartLines lines = readPartLines(st, type, key, policy.name + u'_' + id, e, warn);
        if (type == u"TEXT") {
            e.control = QStringLiteral("text");
            return e;
        }
        if (type != u"LISTBOX" && !lines.valueName) {
            warn(QStringLiteral("The part has no VALUENAME, which ADMX requires; it was left out."));
            return std::nullopt;
        }
        e.attributes.append({QStringLiteral("id"), id});
        e.controlAttributes.append({QStringLiteral("refId"), id});
        if (key != policy.key)
            e.attributes.append({QStringLiteral("key"), key});
        if (lines.valueName)
            e.attributes.append({QStringLiteral("valueName"), *lines.valueName});
        if (!shapeElement(type, lines, e, warn))
            return std::nullopt;
        return e;
    }

    // What a part's statements say, before the part is given the form of its type.
    struct PartLines
    {
        std::optional<QString> valueName, defaultValue, maxLen, min, max, spin, valuePrefix;
        bool required = false, expandable = false, txtConvert = false, defChecked = false, noSort = false,
             explicitValue = false, additive = false;
        std::optional<AdmValue> on, off;
        QList<RegItem> onList, offList;
        std::optional<int> defaultItem;
    };

    // Reads a part's statements after its PART line; suggestions and items go straight into e. A
    // statement that does not belong to the part's type is named and skipped.
    PartLines readPartLines(const QList<AdmStatement> &st, const QString &type, const QString &key,
                            const QString &itemIdBase, Element &e, const Warn &warn)
    {
        PartLines p;
        for (qsizetype i = 1; i < st.size(); ++i) {
            const AdmStatement &s = st[i];
            const QString &kw = s.keyword;
            if (kw == u"KEYNAME" || (kw == u"END" && s.argument(0) == u"PART"))
                continue;
            if (!partAccepts(kw, type)) {
                warn(unsupported(s));
                if (opensBlock(kw))
                    i = blockEnd(st, i);
                continue;
            }
            const QString arg = s.argument(0);
            const std::pair<const char16_t *, std::optional<QString> *> texts[] = {{u"VALUENAME", &p.valueName},
                                                                                   {u"MAXLEN", &p.maxLen},
                                                                                   {u"DEFAULT", &p.defaultValue},
                                                                                   {u"MIN", &p.min},
                                                                                   {u"MAX", &p.max},
                                                                                   {u"SPIN", &p.spin},
                                                                                   {u"VALUEPREFIX", &p.valuePrefix}};
            const std::pair<const char16_t *, bool *> flags[] = {
                {u"REQUIRED", &p.required},     {u"EXPANDABLETEXT", &p.expandable},
                {u"TXTCONVERT", &p.txtConvert}, {u"DEFCHECKED", &p.defChecked},
                {u"NOSORT", &p.noSort},         {u"EXPLICITVALUE", &p.explicitValue},
                {u"ADDITIVE", &p.additive}};
            bool taken = false;
            for (const auto &[word, text] : texts)
                if (!taken && kw == word)
                    *text = arg, taken = true;
            for (const auto &[word, flag] : flags)
                if (!taken && kw == word)
                    *flag = true, taken = true;
            if (taken)
                continue;
            if (kw == u"VALUEON")
                p.on = readValue(s);
            else if (kw == u"VALUEOFF")
                p.off = readValue(s);
            else if (kw == u"ACTIONLISTON")
                actionList(st, i, key, p.onList, warn);
            else if (kw == u"ACTIONLISTOFF")
                actionList(st, i, key, p.offList, warn);
            else if (kw == u"SUGGESTIONS")
                i = suggestions(st, i, e.suggestions, warn);
            else if (kw == u"ITEMLIST")
                i = itemList(st, i, key, itemIdBase, e.items, p.defaultItem, warn);
        }
        return p;
    }

    // Gives e the element type, control and attributes of the part type; false (with a word) when
    // the part has no ADMX form.
    static bool shapeElement(const QString &type, const PartLines &p, Element &e, const Warn &warn)
    {
        const auto flag = [](bool on, const QString &name, Attributes &to) {
            if (on)
                to.append({name, QStringLiteral("true")});
        };
        // A number attribute: written when it is a whole number from 0 to 4294967295, else reported.
        const auto number = [&](const std::optional<QString> &text, const char *statement, const QString &name,
                                Attributes &to) {
            if (!text)
                return;
            if (const std::optional<quint32> n = unsignedNumber(*text))
                to.append({name, QString::number(*n)});
            else
                warn(QStringLiteral("%1 %2 is no whole number from 0 to 4294967295 and was left out.")
                         .arg(QLatin1String(statement), *text));
        };
        if (type == u"CHECKBOX") {
            e.type = QStringLiteral("boolean");
            e.control = QStringLiteral("checkBox");
            flag(p.defChecked, QStringLiteral("defaultChecked"), e.controlAttributes);
            if (p.on)
                e.trueValue = regValue(*p.on, warn);
            if (p.off)
                e.falseValue = regValue(*p.off, warn);
            e.trueList = p.onList;
            e.falseList = p.offList;
        } else if (type == u"EDITTEXT" || type == u"COMBOBOX") {
            e.type = QStringLiteral("text");
            e.control = type == u"EDITTEXT" ? QStringLiteral("textBox") : QStringLiteral("comboBox");
            flag(p.required, QStringLiteral("required"), e.attributes);
            number(p.maxLen, "MAXLEN", QStringLiteral("maxLength"), e.attributes);
            flag(p.expandable, QStringLiteral("expandable"), e.attributes);
            flag(p.noSort, QStringLiteral("noSort"), e.controlAttributes);
            e.defaultText = p.defaultValue;
        } else if (type == u"NUMERIC") {
            e.type = QStringLiteral("decimal");
            e.control = QStringLiteral("decimalTextBox");
            flag(p.required, QStringLiteral("required"), e.attributes);
            number(p.min, "MIN", QStringLiteral("minValue"), e.attributes);
            number(p.max, "MAX", QStringLiteral("maxValue"), e.attributes);
            flag(p.txtConvert, QStringLiteral("storeAsText"), e.attributes);
            number(p.defaultValue, "DEFAULT", QStringLiteral("defaultValue"), e.controlAttributes);
            if (p.spin && unsignedNumber(*p.spin) == 0u)
                e.controlAttributes.append({QStringLiteral("spin"), QStringLiteral("false")});
            else
                number(p.spin, "SPIN", QStringLiteral("spinStep"), e.controlAttributes);
        } else if (type == u"DROPDOWNLIST") {
            e.type = QStringLiteral("enum");
            e.control = QStringLiteral("dropdownList");
            flag(p.required, QStringLiteral("required"), e.attributes);
            flag(p.noSort, QStringLiteral("noSort"), e.controlAttributes);
            if (p.defaultItem)
                e.controlAttributes.append({QStringLiteral("defaultItem"), QString::number(*p.defaultItem)});
            if (e.items.isEmpty()) {
                warn(QStringLiteral("The drop-down list has no items, which ADMX requires; it was left out."));
                return false;
            }
        } else if (type == u"LISTBOX") {
            e.type = QStringLiteral("list");
            e.control = QStringLiteral("listBox");
            if (p.valuePrefix)
                e.attributes.append({QStringLiteral("valuePrefix"), *p.valuePrefix});
            flag(p.additive, QStringLiteral("additive"), e.attributes);
            flag(p.expandable, QStringLiteral("expandable"), e.attributes);
            flag(p.explicitValue, QStringLiteral("explicitValue"), e.attributes);
        } else {
            warn(QStringLiteral("The part type %1 has no ADMX equivalent; the part was left out.").arg(type));
            return false;
        }
        return true;
    }

    static qsizetype suggestions(const QList<AdmStatement> &st, qsizetype i, QStringList &out,
                                 const std::function<void(const QString &)> &warn)
    {
        const qsizetype end = blockEnd(st, i);
        for (qsizetype k = i + 1; k < end; ++k) {
            // A suggestion line is a quoted text alone, or a bare word the loader kept as it was.
            if (st[k].keyword.isEmpty() && st[k].arguments.size() == 1)
                out.append(displayText(st[k].argument(0)));
            else if (st[k].arguments.isEmpty())
                out.append(displayText(st[k].keyword));
            else
                warn(unsupported(st[k]));
        }
        return end;
    }

    qsizetype itemList(const QList<AdmStatement> &st, qsizetype i, const QString &key, const QString &idBase,
                       QList<EnumItem> &items, std::optional<int> &defaultItem,
                       const std::function<void(const QString &)> &warn)
    {
        const qsizetype end = blockEnd(st, i);
        std::optional<EnumItem> item;
        bool hasValue = false;
        const auto finish = [&] {
            if (!item)
                return;
            if (!hasValue) {
                warn(QStringLiteral("The item %1 has no VALUE and was left out.").arg(item->caption));
            } else {
                item->stringId = m_names.take(idBase + u'_' + baseName(item->caption, {}, QStringLiteral("Item")));
                items.append(*item);
            }
            item.reset();
        };
        for (qsizetype k = i + 1; k < end; ++k) {
            const AdmStatement &s = st[k];
            if (s.keyword == u"NAME") {
                finish();
                item = EnumItem{};
                item->caption = displayText(s.argument(0));
                hasValue = false;
            } else if (s.keyword == u"VALUE" && item && !hasValue) {
                const AdmValue v = readValue(s);
                item->value = regValue(v, warn);
                hasValue = true;
                if (v.isDefault && defaultItem)
                    warn(QStringLiteral("More than one item is marked DEFAULT; the first one is the default."));
                else if (v.isDefault)
                    defaultItem = int(items.size());
            } else if (s.keyword == u"ACTIONLIST" && item) {
                actionList(st, k, key, item->valueList, warn);
            } else {
                warn(unsupported(s));
                if (opensBlock(s.keyword))
                    k = blockEnd(st, k);
            }
        }
        finish();
        return end;
    }

    const TemplateDocument &m_document;
    QString m_name;
    Model m_model;
    UniqueNames m_names;
    QHash<QString, qsizetype> m_categoryByPath;
    // Signature of a policy's text and place -> its index and the class it was read in.
    QHash<QString, std::pair<qsizetype, QString>> m_policyBySignature;
    QHash<QString, QString> m_supportedByText;
    QString m_fallbackCategory;
};

} // namespace

Model readModel(const TemplateDocument &document, const QString &name)
{
    return Reader(document, name).run();
}

} // namespace kova::admx
