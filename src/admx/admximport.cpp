// Reads an ADMX and its ADML into the ADM text that says the same, as far as ADM can: what it cannot
// hold is named per policy, and the nearest ADM form written where there is one.
#include "admximport.h"

#include "admxreadxml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

namespace kova::admx {

using namespace xml;

namespace {

QByteArray readAll(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + f.errorString();
        return {};
    }
    return f.readAll();
}

// A text as an ADM quoted text: no double quote can stand inside one, so an inner one becomes a
// typographic quote, and a line break is written as backslash and n.
QString quoted(const QString &text)
{
    // Spaces around the text go; line breaks at its ends are the text's own (an explain ending in an
    // empty line keeps it).
    qsizetype from = 0, to = text.size();
    while (from < to && (text[from] == u' ' || text[from] == u'\t'))
        ++from;
    while (to > from && (text[to - 1] == u' ' || text[to - 1] == u'\t'))
        --to;
    QString t = text.mid(from, to - from);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(u'\n', QStringLiteral("\\n"));
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t[i] == u'"')
            t[i] = i == 0 || t[i - 1].isSpace() ? QChar(0x201C) : QChar(0x201D);
    t.replace(u'\t', u' ');
    return u'"' + t + u'"';
}

class Importer
{
public:
    Importer(const Definitions &definitions, const Resources &resources) : m_defs(definitions), m_res(resources) {}

    void addExternalCategory(const QString &ref, const QString &caption) { m_external.insert(ref, caption); }

    QString run()
    {
        buildTree();
        for (const int cls : {0, 1}) {
            line(cls == 0 ? QStringLiteral("CLASS MACHINE") : QStringLiteral("CLASS USER"));
            for (const int root : std::as_const(m_roots))
                category(root, cls);
            for (const Policy *p : std::as_const(m_loose))
                if (inClass(*p, cls))
                    policy(*p);
        }
        return m_out;
    }

    QList<Warning> warnings;

private:
    // A category of the tree: one of this file (the first of its name) or one of another file.
    struct Node
    {
        QString name;
        const Category *category = nullptr; // null: another file's
        int parent = -1;
        QList<int> children;
        QList<const Policy *> policies;
        bool holds[2] = {false, false}; // holds a policy of the machine class, of the user class
        // The key every policy of the class below it names, when they name one and the same; else empty.
        QString sharedKey[2];
        bool mixedKeys[2] = {false, false};
    };

    void line(const QString &text) { m_out += text + QStringLiteral("\r\n"); }

    QString text(const QString &reference, const QString &owner)
    {
        if (!reference.startsWith(QStringLiteral("$(string.")) || !reference.endsWith(u')'))
            return reference;
        const QString id = reference.mid(9).chopped(1);
        const auto it = m_res.strings.constFind(id);
        if (it != m_res.strings.constEnd())
            return *it;
        warnings.append(
            {owner, QStringLiteral("The string %1 is not in the ADML; its id stands in its place.").arg(id)});
        return id;
    }

    // A category reference as this file's own category name, or as the reference to another file's.
    QString resolve(const QString &ref) const
    {
        const qsizetype colon = ref.indexOf(u':');
        if (colon < 0 || ref.first(colon) == m_defs.prefix)
            return colon < 0 ? ref : ref.mid(colon + 1);
        return ref;
    }
    int nodeOf(const QString &ref) const { return ref.isEmpty() ? -1 : m_index.value(resolve(ref), -1); }
    static bool inClass(const Policy &p, int cls)
    {
        const QString c = p.attributes.value(QStringLiteral("class"));
        return c == (cls == 0 ? u"Machine" : u"User") || c == u"Both";
    }

    // The category tree, read once: each category's parent and children, its policies, and which
    // classes hold a policy in it or below it. A category that is its own ancestor is put at the top.
    void buildTree()
    {
        const auto add = [&](const QString &name, const Category *c) {
            m_index.insert(name, int(m_nodes.size()));
            Node n;
            n.name = name;
            n.category = c;
            m_nodes.append(n);
        };
        for (const Category &c : m_defs.categories) {
            if (!m_index.contains(c.name))
                add(c.name, &c);
            else
                warnings.append({c.name, QStringLiteral("The category is defined twice; the first one is used.")});
        }
        for (auto it = m_external.cbegin(); it != m_external.cend(); ++it)
            if (!m_index.contains(it.key()))
                add(it.key(), nullptr);
        for (Node &n : m_nodes)
            if (n.category)
                n.parent = nodeOf(n.category->parentCategory);
        // Each chain of parents walked once: state 1 while on the walk, 2 when known to end at the top.
        QList<char> state(m_nodes.size(), 0);
        for (int start = 0; start < m_nodes.size(); ++start) {
            int at = start;
            QList<int> walk;
            while (at >= 0 && state[at] == 0) {
                state[at] = 1;
                walk.append(at);
                at = m_nodes[at].parent;
            }
            if (at >= 0 && state[at] == 1) { // the walk came back to itself: cut its last step
                m_nodes[walk.last()].parent = -1;
                warnings.append({m_nodes[walk.last()].name,
                                 QStringLiteral("The category is inside itself; it was placed at the top.")});
            }
            for (const int i : std::as_const(walk))
                state[i] = 2;
        }
        for (int i = 0; i < m_nodes.size(); ++i)
            (m_nodes[i].parent < 0 ? m_roots : m_nodes[m_nodes[i].parent].children).append(i);
        for (const Policy &p : m_defs.policies) {
            const int at = nodeOf(p.parentCategory);
            (at < 0 ? m_loose : m_nodes[at].policies).append(&p);
            for (const int cls : {0, 1})
                if (inClass(p, cls))
                    for (int up = at; up >= 0; up = m_nodes[up].parent)
                        shareKey(m_nodes[up], cls, p.attributes.value(u"key"));
        }
    }

    static void shareKey(Node &n, int cls, const QString &key)
    {
        if (!n.holds[cls])
            n.sharedKey[cls] = key;
        else if (n.sharedKey[cls] != key)
            n.mixedKeys[cls] = true;
        n.holds[cls] = true;
    }

    // A category whose policies all name one key names it once, as the templates' makers write it,
    // for its policies and the categories inside it.
    void category(int index, int cls)
    {
        const Node &n = m_nodes[index];
        if (!n.holds[cls])
            return;
        const QString caption = n.category ? text(n.category->displayName, n.name) : m_external.value(n.name);
        line(QStringLiteral("CATEGORY ") + quoted(caption));
        if (n.category && !n.category->explainText.isEmpty())
            line(QStringLiteral("EXPLAIN ") + quoted(text(n.category->explainText, caption)));
        const QString inherited = m_categoryKey;
        if (!n.mixedKeys[cls] && !n.sharedKey[cls].isEmpty() && n.sharedKey[cls] != m_categoryKey) {
            m_categoryKey = n.sharedKey[cls];
            line(QStringLiteral("KEYNAME ") + quoted(m_categoryKey));
        }
        for (const int child : n.children)
            category(child, cls);
        for (const Policy *p : n.policies)
            if (inClass(*p, cls))
                policy(*p);
        line(QStringLiteral("END CATEGORY"));
        m_categoryKey = inherited;
    }

    QString value(const Value &v, const std::function<void(const QString &)> &warn) const
    {
        switch (v.kind) {
        case Value::Kind::Decimal: return QStringLiteral("NUMERIC ") + v.text;
        case Value::Kind::LongDecimal:
            if (v.text.toULongLong() > 0xffffffffull)
                warn(QStringLiteral("The value %1 is wider than an ADM number; it was written as a text.").arg(v.text));
            else
                return QStringLiteral("NUMERIC ") + v.text;
            return quoted(v.text);
        case Value::Kind::String:
            if (v.text.contains(u'"'))
                warn(QStringLiteral("The value %1 holds double quotes, which an ADM text cannot; they were written as "
                                    "typographic quotes.")
                         .arg(v.text));
            return quoted(v.text);
        case Value::Kind::Delete: return QStringLiteral("DELETE");
        case Value::Kind::None: break;
        }
        return QString();
    }

    void actionList(const QString &word, const ValueList &list, const std::function<void(const QString &)> &warn)
    {
        if (list.items.isEmpty())
            return;
        line(word);
        for (const ListItem &item : list.items) {
            const QString key = item.key.isEmpty() ? list.defaultKey : item.key;
            if (!key.isEmpty())
                line(QStringLiteral("KEYNAME ") + quoted(key));
            line(QStringLiteral("VALUENAME ") + quoted(item.valueName));
            line(QStringLiteral("VALUE ") + value(item.value, warn));
        }
        line(QStringLiteral("END ") + word);
    }

    void policy(const Policy &p)
    {
        const QString caption = text(p.attributes.value(QStringLiteral("displayName")), p.attributes.value("name"));
        const auto warn = [&](const QString &t) { warnings.append({caption, t}); };
        const QString key = p.attributes.value(QStringLiteral("key"));
        line(QStringLiteral("POLICY ") + quoted(caption));
        if (key != m_categoryKey || key.isEmpty())
            line(QStringLiteral("KEYNAME ") + quoted(key));
        if (!p.supportedOn.isEmpty()) {
            const QString ref = m_defs.supportedOn.value(resolve(p.supportedOn));
            line(QStringLiteral("SUPPORTED ") + quoted(ref.isEmpty() ? resolve(p.supportedOn) : text(ref, caption)));
        }
        if (const QString explain = p.attributes.value(QStringLiteral("explainText")); !explain.isEmpty())
            line(QStringLiteral("EXPLAIN ") + quoted(text(explain, caption)));
        for (const Element &e : p.elements) {
            if (const QString ext = e.attributes.value(QStringLiteral("clientExtension")); !ext.isEmpty()) {
                line(QStringLiteral("CLIENTEXT ") + ext);
                break;
            }
        }
        if (const QString *vn = p.attributes.find(u"valueName"))
            line(QStringLiteral("VALUENAME ") + quoted(*vn));
        if (p.enabledValue.kind != Value::Kind::None)
            line(QStringLiteral("VALUEON ") + value(p.enabledValue, warn));
        if (p.disabledValue.kind != Value::Kind::None)
            line(QStringLiteral("VALUEOFF ") + value(p.disabledValue, warn));
        actionList(QStringLiteral("ACTIONLISTON"), p.enabledList, warn);
        actionList(QStringLiteral("ACTIONLISTOFF"), p.disabledList, warn);
        parts(p, key, warn);
        line(QStringLiteral("END POLICY"));
    }

    // The parts in the order of the presentation; an element it does not show comes last, labelled
    // with its id.
    void parts(const Policy &p, const QString &policyKey, const std::function<void(const QString &)> &warn)
    {
        QString presentation = p.attributes.value(QStringLiteral("presentation"));
        if (presentation.startsWith(QStringLiteral("$(presentation.")))
            presentation = presentation.mid(15).chopped(1);
        const QList<Control> controls = m_res.presentations.value(presentation);
        QSet<QString> shown;
        for (const Control &c : controls) {
            if (c.kind == u"text") {
                line(QStringLiteral("PART ") + quoted(c.text) + QStringLiteral(" TEXT"));
                line(QStringLiteral("END PART"));
                continue;
            }
            const QString ref = c.attributes.value(QStringLiteral("refId"));
            for (const Element &e : p.elements) {
                if (e.attributes.value(QStringLiteral("id")) == ref && !shown.contains(ref)) {
                    shown.insert(ref);
                    part(e, &c, policyKey, warn);
                }
            }
        }
        for (const Element &e : p.elements)
            if (!shown.contains(e.attributes.value(QStringLiteral("id"))))
                part(e, nullptr, policyKey, warn);
    }

    void part(const Element &e, const Control *c, const QString &policyKey,
              const std::function<void(const QString &)> &policyWarn)
    {
        const AttributeMap &a = e.attributes;
        const QString label = c && !c->text.trimmed().isEmpty() ? c->text : a.value(QStringLiteral("id"));
        const auto warn = [&](const QString &t) { policyWarn(label.trimmed() + QStringLiteral(": ") + t); };
        const auto attr = [&](const char *name) { return a.value(QLatin1String(name)); };
        const auto isTrue = [&](const AttributeMap &map, const char *name) {
            return map.value(QLatin1String(name)) == u"true" || map.value(QLatin1String(name)) == u"1";
        };
        const AttributeMap none;
        const AttributeMap &ca = c ? c->attributes : none;
        QString type;
        if (e.kind == u"boolean")
            type = QStringLiteral("CHECKBOX");
        else if (e.kind == u"decimal" || e.kind == u"longDecimal")
            type = QStringLiteral("NUMERIC");
        else if (e.kind == u"text")
            type = c && c->kind == u"comboBox" ? QStringLiteral("COMBOBOX") : QStringLiteral("EDITTEXT");
        else if (e.kind == u"multiText")
            type = QStringLiteral("EDITTEXT");
        else if (e.kind == u"enum")
            type = QStringLiteral("DROPDOWNLIST");
        else if (e.kind == u"list")
            type = QStringLiteral("LISTBOX");
        if (type.isEmpty()) {
            warn(QStringLiteral("The element %1 has no ADM form and was left out.").arg(e.kind));
            return;
        }
        line(QStringLiteral("PART ") + quoted(label) + u' ' + type);
        const QString key = attr("key");
        if (!key.isEmpty() && key != policyKey)
            line(QStringLiteral("KEYNAME ") + quoted(key));
        if (e.kind != u"list" && a.contains(QStringLiteral("valueName")))
            line(QStringLiteral("VALUENAME ") + quoted(attr("valueName")));
        if (isTrue(a, "required"))
            line(QStringLiteral("REQUIRED"));
        if (isTrue(a, "soft"))
            warn(QStringLiteral("soft (keep a value already set) has no ADM form and was left out."));
        if (e.kind == u"multiText")
            warn(QStringLiteral("multiText (a list of texts in one value) has no ADM form; it was written as an "
                                "EDITTEXT, which holds one text."));
        if (e.kind == u"boolean") {
            if (isTrue(ca, "defaultChecked"))
                line(QStringLiteral("DEFCHECKED"));
            if (e.trueValue.kind != Value::Kind::None)
                line(QStringLiteral("VALUEON ") + value(e.trueValue, warn));
            if (e.falseValue.kind != Value::Kind::None)
                line(QStringLiteral("VALUEOFF ") + value(e.falseValue, warn));
            actionList(QStringLiteral("ACTIONLISTON"), e.trueList, warn);
            actionList(QStringLiteral("ACTIONLISTOFF"), e.falseList, warn);
        } else if (type == u"NUMERIC") {
            for (const auto &[attribute, statement] : {std::pair{"minValue", "MIN"}, std::pair{"maxValue", "MAX"}}) {
                const QString n = attr(attribute);
                if (n.isEmpty())
                    continue;
                if (n.toULongLong() > 0xffffffffull)
                    warn(QStringLiteral("%1 %2 is beyond an ADM number and was left out.")
                             .arg(QLatin1String(attribute), n));
                else
                    line(QLatin1String(statement) + u' ' + n);
            }
            if (!ca.value(QStringLiteral("defaultValue")).isEmpty())
                line(QStringLiteral("DEFAULT ") + ca.value(QStringLiteral("defaultValue")));
            if (ca.value(QStringLiteral("spin")) == u"false")
                line(QStringLiteral("SPIN 0"));
            else if (ca.contains(QStringLiteral("spinStep")))
                line(QStringLiteral("SPIN ") + ca.value(QStringLiteral("spinStep")));
            if (isTrue(a, "storeAsText"))
                line(QStringLiteral("TXTCONVERT"));
        } else if (type == u"EDITTEXT" || type == u"COMBOBOX") {
            if (a.contains(QStringLiteral("maxLength")))
                line(QStringLiteral("MAXLEN ") + attr("maxLength"));
            if (isTrue(a, "expandable"))
                line(QStringLiteral("EXPANDABLETEXT"));
            if (c && c->defaultText)
                line(QStringLiteral("DEFAULT ") + quoted(*c->defaultText));
            if (type == u"COMBOBOX") {
                if (isTrue(ca, "noSort"))
                    line(QStringLiteral("NOSORT"));
                if (!c->suggestions.isEmpty()) {
                    line(QStringLiteral("SUGGESTIONS"));
                    for (const QString &s : c->suggestions)
                        line(quoted(s));
                    line(QStringLiteral("END SUGGESTIONS"));
                }
            }
        } else if (type == u"DROPDOWNLIST") {
            if (isTrue(ca, "noSort"))
                line(QStringLiteral("NOSORT"));
            bool ok = false;
            const int defaultItem = ca.value(QStringLiteral("defaultItem")).toInt(&ok);
            line(QStringLiteral("ITEMLIST"));
            for (qsizetype i = 0; i < e.items.size(); ++i) {
                const EnumItem &item = e.items[i];
                line(QStringLiteral("NAME ") + quoted(text(item.displayName, label)));
                line(QStringLiteral("VALUE ") + value(item.value, warn) +
                     (ok && i == defaultItem ? QStringLiteral(" DEFAULT") : QString()));
                actionList(QStringLiteral("ACTIONLIST"), item.valueList, warn);
            }
            line(QStringLiteral("END ITEMLIST"));
        } else if (type == u"LISTBOX") {
            if (key.isEmpty())
                line(QStringLiteral("KEYNAME ") + quoted(policyKey));
            if (a.contains(QStringLiteral("valuePrefix")))
                line(QStringLiteral("VALUEPREFIX ") + quoted(attr("valuePrefix")));
            if (isTrue(a, "additive"))
                line(QStringLiteral("ADDITIVE"));
            if (isTrue(a, "explicitValue"))
                line(QStringLiteral("EXPLICITVALUE"));
            if (isTrue(a, "expandable"))
                line(QStringLiteral("EXPANDABLETEXT"));
        }
        line(QStringLiteral("END PART"));
    }

    const Definitions &m_defs;
    const Resources &m_res;
    QMap<QString, QString> m_external; // a category of another file: reference -> caption
    QList<Node> m_nodes;
    QHash<QString, int> m_index; // category name or other file's reference -> node
    QList<int> m_roots;
    QList<const Policy *> m_loose; // in no known category
    QString m_categoryKey;         // the key the categories being written name for their policies
    QString m_out;
};

// The ADML of an ADMX: NAME.adml in folder LANGUAGE beside it.
QString admlIn(const QString &admxPath, const QString &language)
{
    const QFileInfo admx(admxPath);
    return admx.dir().filePath(language + u'/' + admx.completeBaseName() + QStringLiteral(".adml"));
}

// Reads the ADMX beside path whose target namespace is ns, with its ADML, for the captions of its
// categories; false when there is none.
bool readNeighbour(const QString &path, const QString &ns, const ImportOptions &options,
                   QHash<QString, QString> &captions)
{
    const QFileInfo self(path);
    for (const QFileInfo &f : self.dir().entryInfoList({QStringLiteral("*.admx")}, QDir::Files)) {
        if (f.absoluteFilePath() == self.absoluteFilePath())
            continue;
        QString error;
        Definitions defs;
        if (!readDefinitions(readAll(f.filePath(), &error), defs).isEmpty() || defs.targetNamespace != ns)
            continue;
        Resources res;
        ImportOptions own = options;
        own.admlPath.clear();
        readResources(readAll(findAdml(f.filePath(), own), &error), res);
        for (const Category &c : defs.categories) {
            const QString id = c.displayName.mid(9).chopped(1);
            captions.insert(c.name, res.strings.value(id, c.name));
        }
        return true;
    }
    return false;
}

// The template of a read ADMX and ADML; captionOf(prefix, name) names a category of another file.
template<typename CaptionOf>
void convert(const Definitions &defs, const Resources &res, ImportResult &result, CaptionOf &&captionOf)
{
    Importer importer(defs, res);
    const auto external = [&](const QString &ref) {
        const qsizetype colon = ref.indexOf(u':');
        if (colon < 0 || ref.first(colon) == defs.prefix)
            return;
        importer.addExternalCategory(ref, captionOf(ref.first(colon), ref.mid(colon + 1)));
    };
    for (const Category &c : defs.categories)
        external(c.parentCategory);
    for (const Policy &p : defs.policies)
        external(p.parentCategory);
    const QString text = importer.run();
    // A policy of both classes is written twice, but named once.
    for (const Warning &w : std::as_const(importer.warnings))
        if (!result.warnings.contains(w))
            result.warnings.append(w);
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    result.adm = encoder(text);
    result.ok = true;
}

} // namespace

QString findAdml(const QString &admxPath, const ImportOptions &options)
{
    if (!options.admlPath.isEmpty())
        return options.admlPath;
    if (!options.language.isEmpty())
        return admlIn(admxPath, options.language);
    for (const QString &language : {options.userLanguage, QStringLiteral("en-US")})
        if (!language.isEmpty() && QFileInfo::exists(admlIn(admxPath, language)))
            return admlIn(admxPath, language);
    const QStringList found = admlLanguages(admxPath);
    return found.size() == 1 ? admlIn(admxPath, found.first()) : QString();
}

QStringList admlLanguages(const QString &admxPath)
{
    QStringList found;
    const QFileInfo admx(admxPath);
    for (const QString &folder : admx.dir().entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (QFileInfo::exists(admlIn(admxPath, folder)))
            found.append(folder);
    return found;
}

ImportResult importAdmx(const QString &admxPath, const ImportOptions &options)
{
    ImportResult result;
    QString error;
    const QByteArray admxBytes = readAll(admxPath, &error);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    Definitions defs;
    if (const QString problem = readDefinitions(admxBytes, defs); !problem.isEmpty()) {
        result.error = admxPath + QStringLiteral(": ") + problem;
        return result;
    }
    result.admlPath = findAdml(admxPath, options);
    if (result.admlPath.isEmpty()) {
        result.error = admxPath + QStringLiteral(": no ADML beside it in the user's language, en-US or a single "
                                                 "language folder; name one with --adml or --language");
        return result;
    }
    const QByteArray admlBytes = readAll(result.admlPath, &error);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    Resources res;
    if (const QString problem = readResources(admlBytes, res); !problem.isEmpty()) {
        result.error = result.admlPath + QStringLiteral(": ") + problem;
        return result;
    }

    // Parents in another file: that file's caption when it lies beside this one, else the name.
    QHash<QString, QHash<QString, QString>> neighbours; // prefix -> category name -> caption
    convert(defs, res, result, [&](const QString &prefix, const QString &name) {
        if (!neighbours.contains(prefix))
            readNeighbour(admxPath, defs.usingNamespaces.value(prefix), options, neighbours[prefix]);
        return neighbours[prefix].value(name, name);
    });
    return result;
}

ImportResult importAdmxBytes(const QByteArray &admx, const QByteArray &adml)
{
    ImportResult result;
    Definitions defs;
    Resources res;
    if (const QString problem = readDefinitions(admx, defs); !problem.isEmpty()) {
        result.error = problem;
        return result;
    }
    if (const QString problem = readResources(adml, res); !problem.isEmpty()) {
        result.error = problem;
        return result;
    }
    convert(defs, res, result, [](const QString &, const QString &name) { return name; });
    return result;
}

} // namespace kova::admx
