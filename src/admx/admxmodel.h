#pragma once

#include "admxexport.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace kova {
class TemplateDocument;
}

namespace kova::admx {

// The template in ADMX terms, between reading the tree and writing the two files. Every name and
// string id in it is final and unique.

using Attributes = QList<std::pair<QString, QString>>;

struct RegValue
{
    enum class Kind { Decimal, String, Delete };
    Kind kind = Kind::String;
    QString text;
};

struct RegItem
{
    QString key;
    QString valueName;
    RegValue value;
};

struct EnumItem
{
    QString stringId;
    QString caption;
    RegValue value;
    QList<RegItem> valueList;
};

// One part: an ADMX element (none for a label) and its presentation control.
struct Element
{
    QString type; // "boolean", "text", "decimal", "enum", "list"; empty for a label
    Attributes attributes;
    std::optional<RegValue> trueValue, falseValue;
    QList<RegItem> trueList, falseList;
    QList<EnumItem> items;

    QString control; // "checkBox", "textBox", "decimalTextBox", "comboBox", "dropdownList", "listBox", "text"
    Attributes controlAttributes;
    QString label;
    std::optional<QString> defaultText; // textBox defaultValue, comboBox default
    QStringList suggestions;
};

struct Policy
{
    QString name;
    QString className; // "Machine", "User" or "Both"
    QString caption, captionId;
    QString explain, explainId;
    QString category;
    QString key;
    std::optional<QString> valueName;
    QString clientExtension;
    QString supportedOn;
    std::optional<RegValue> enabledValue, disabledValue;
    QList<RegItem> enabledList, disabledList;
    QList<Element> elements;
};

struct Category
{
    QString name;
    QString caption, captionId;
    QString explain, explainId;
    QString parent;
};

struct SupportedOn
{
    QString name;
    QString text, textId;
};

struct Model
{
    QList<Category> categories;
    QList<Policy> policies;
    QList<SupportedOn> supported;
    QList<Warning> warnings;
};

// Reads the document's tree and node lines into the model; name is the template's name, used for the
// category that takes policies found outside any category.
Model readModel(const TemplateDocument &document, const QString &name);

// The two files' texts.
QByteArray writeAdmx(const Model &model, const ExportOptions &options);
QByteArray writeAdml(const Model &model, const ExportOptions &options);

} // namespace kova::admx
