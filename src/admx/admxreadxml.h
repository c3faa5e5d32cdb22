#pragma once

#include <QAnyStringView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kova::admx::xml {

// An ADMX and its ADML as read, before anything is made of them. Names are local names: the files
// come with the current namespace, an older one or none.

// An element's attributes in document order. An element has a few, so they are a list searched from
// its start, which reads faster than a hash table built for each element.
class AttributeMap
{
public:
    void reserve(qsizetype size) { m_items.reserve(size); }
    void insert(const QString &name, const QString &value) { m_items.append({name, value}); }
    // The value of name; null when the element has no such attribute.
    const QString *find(QAnyStringView name) const
    {
        for (const auto &[n, v] : m_items)
            if (QAnyStringView(n) == name)
                return &v;
        return nullptr;
    }
    bool contains(QAnyStringView name) const { return find(name) != nullptr; }
    QString value(QAnyStringView name, const QString &fallback = {}) const
    {
        const QString *v = find(name);
        return v ? *v : fallback;
    }

private:
    QList<std::pair<QString, QString>> m_items;
};

struct Value
{
    enum class Kind { None, Decimal, LongDecimal, String, Delete };
    Kind kind = Kind::None;
    QString text;
};

struct ListItem
{
    QString key; // empty: the list's default key, else the policy's
    QString valueName;
    Value value;
};

struct ValueList
{
    QString defaultKey;
    QList<ListItem> items;
};

struct EnumItem
{
    QString displayName; // a $(string.ID) reference
    Value value;
    ValueList valueList;
};

struct Element
{
    QString kind; // boolean, decimal, longDecimal, text, multiText, enum, list
    AttributeMap attributes;
    Value trueValue, falseValue;
    ValueList trueList, falseList;
    QList<EnumItem> items;
};

struct Policy
{
    AttributeMap attributes; // name, class, displayName, explainText, presentation, key, valueName
    QString parentCategory, supportedOn;
    Value enabledValue, disabledValue;
    ValueList enabledList, disabledList;
    QList<Element> elements;
};

struct Category
{
    QString name, displayName, explainText, parentCategory;
};

struct Definitions
{
    QString prefix, targetNamespace;
    QHash<QString, QString> usingNamespaces; // prefix -> namespace
    QHash<QString, QString> supportedOn;     // definition name -> displayName reference
    QList<Category> categories;
    QList<Policy> policies;
};

// One control of a presentation.
struct Control
{
    QString kind; // text, checkBox, decimalTextBox, textBox, comboBox, dropdownList, listBox, multiTextBox
    AttributeMap attributes;
    QString text; // the control's own text, or the label of a textBox or comboBox
    std::optional<QString> defaultText;
    QStringList suggestions;
};

struct Resources
{
    QHash<QString, QString> strings;
    QHash<QString, QList<Control>> presentations;
};

// Each returns an empty text on success, else the line and what the XML reader found wrong.
QString readDefinitions(const QByteArray &bytes, Definitions &out);
QString readResources(const QByteArray &bytes, Resources &out);

} // namespace kova::admx::xml
