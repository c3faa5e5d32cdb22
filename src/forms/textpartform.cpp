#include "textpartform.h"

#include "document/nodekeys.h"

namespace kova {

namespace {

QString rest(const QString &line, qsizetype keyword)
{
    return line.mid(keyword).trimmed();
}

} // namespace

TextPartForm TextPartForm::load(Kind kind, const QStringList &lines)
{
    TextPartForm f;
    f.kind = kind;
    if (kind == Kind::Edittext)
        f.defaultName = false;
    const bool combobox = kind == Kind::Combobox;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        f.readLine(line);
        if (line.startsWith(u"DEFAULT"))
            f.defaultText = Unquote(rest(line, 7));
        if (line.startsWith(u"MAXLEN"))
            f.maxLength = Unquote(rest(line, 6));
        if (line.startsWith(u"REQUIRED"))
            f.required = true;
        if (line.startsWith(u"EXPANDABLETEXT"))
            f.expandable = true;
        if (line.startsWith(u"OEMCONVERT"))
            f.oemConvert = true;
        if (combobox && line.startsWith(u"NOSORT"))
            f.noSort = true;
        if (combobox && line.startsWith(u"SUGGESTIONS")) {
            while (++i < lines.size() && !lines.at(i).startsWith(u"END SUGGESTIONS"))
                f.suggestions.append(Unquote(lines.at(i)));
        }
    }
    f.trimFields();
    f.defaultText = f.defaultText.trimmed();
    f.maxLength = f.maxLength.trimmed();
    return f;
}

std::optional<FieldError> TextPartForm::validate(const QString &inheritedKey) const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Description name is empty")};
    if (keyMissing(inheritedKey))
        return FieldError{Keyname, QStringLiteral("Keyname not defined on this or a higher level")};
    if (valueNameMissing())
        return FieldError{ValueName, QStringLiteral("Value name empty")};
    if (!maxLength.trimmed().isEmpty() && !isNumber(maxLength))
        return FieldError{MaxLength, QStringLiteral("Value is not numeric")};
    return std::nullopt;
}

QString TextPartForm::compose() const
{
    const auto line = [](const QString &text) { return text + QStringLiteral("\r\n"); };
    QString text = line(QStringLiteral("PART ") + Quote(description) +
                        (kind == Kind::Combobox ? QStringLiteral(" COMBOBOX") : QStringLiteral(" EDITTEXT")));
    text += keyLines();
    if (!defaultText.trimmed().isEmpty())
        text += line(QStringLiteral("DEFAULT ") + Quote(defaultText));
    if (!maxLength.trimmed().isEmpty())
        text += line(QStringLiteral("MAXLEN ") + maxLength.trimmed());
    if (required)
        text += line(QStringLiteral("REQUIRED"));
    if (expandable)
        text += line(QStringLiteral("EXPANDABLETEXT"));
    if (oemConvert)
        text += line(QStringLiteral("OEMCONVERT"));
    if (kind == Kind::Combobox) {
        if (!suggestions.isEmpty()) {
            text += line(QStringLiteral("SUGGESTIONS"));
            for (const QString &s : suggestions)
                text += line(Quote(s));
            text += line(QStringLiteral("END SUGGESTIONS"));
        }
        if (noSort)
            text += line(QStringLiteral("NOSORT"));
    }
    return text + line(QStringLiteral("END PART"));
}

} // namespace kova
