#include "numericform.h"

#include "document/nodekeys.h"

#include <cmath>
#include <limits>

namespace kova {

std::optional<qint32> wholeNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(rounded);
}

NumericForm NumericForm::load(const QStringList &lines)
{
    NumericForm f;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const auto rest = [&line](qsizetype keyword) { return line.mid(keyword).trimmed(); };
        f.readLine(line);
        if (line.startsWith(u"MIN"))
            f.min = rest(3);
        if (line.startsWith(u"MAX"))
            f.max = rest(3);
        if (line.startsWith(u"SPIN"))
            f.spin = rest(4);
        if (line.startsWith(u"DEFAULT"))
            f.defaultValue = rest(7);
        if (line.startsWith(u"REQUIRED"))
            f.required = true;
        if (line.startsWith(u"TXTCONVERT"))
            f.textConvert = true;
    }
    f.trimFields();
    return f;
}

std::optional<FieldError> NumericForm::validate(const QString &inheritedKey, const QLocale &locale) const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Description name is empty")};
    if (keyMissing(inheritedKey))
        return FieldError{Keyname, QStringLiteral("Keyname not defined on this or a higher level")};
    if (valueNameMissing())
        return FieldError{ValueName, QStringLiteral("Value name is empty")};

    struct Number
    {
        Field field;
        const QString &text;
        qint32 whenEmpty;
    };
    const Number numbers[] = {{Min, min, 0}, {Max, max, 9999}, {Spin, spin, 1}, {Default, defaultValue, 0}};
    for (const Number &n : numbers)
        if (!n.text.trimmed().isEmpty() && !isNumber(n.text, locale))
            return FieldError{n.field, QStringLiteral("Value is not numeric")};
    qint32 values[4];
    for (int i = 0; i < 4; ++i) {
        const Number &n = numbers[i];
        const std::optional<qint32> v = n.text.trimmed().isEmpty() ? n.whenEmpty : wholeNumber(n.text, locale);
        if (!v || *v < 0 || *v > 9999)
            return FieldError{n.field, QStringLiteral("Value must be within range 0 - 9999")};
        values[i] = *v;
    }
    if (values[0] > values[1])
        return FieldError{Min, QStringLiteral("Min value is greater than Max value")};
    if (values[3] < values[0] || values[3] > values[1])
        return FieldError{Default, QStringLiteral("Default value is not within range")};
    return std::nullopt;
}

QString NumericForm::compose() const
{
    const auto line = [](const QString &text) { return text + QStringLiteral("\r\n"); };
    QString text = line(QStringLiteral("PART ") + Quote(description) + QStringLiteral(" NUMERIC"));
    text += keyLines();
    if (required)
        text += line(QStringLiteral("REQUIRED"));
    if (textConvert)
        text += line(QStringLiteral("TXTCONVERT"));
    const std::pair<const char *, const QString *> numbers[] = {
        {"MIN ", &min}, {"MAX ", &max}, {"SPIN ", &spin}, {"DEFAULT ", &defaultValue}};
    for (const auto &[keyword, value] : numbers)
        if (!value->trimmed().isEmpty())
            text += line(QString::fromLatin1(keyword) + value->trimmed());
    return text + line(QStringLiteral("END PART"));
}

} // namespace kova
