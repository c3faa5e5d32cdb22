#pragma once

#include "fieldrules.h"
#include "partkey.h"

#include <QStringList>

#include <optional>

namespace kova {

// The Numeric page's fields. The four numbers are kept as typed: the checks convert them, the
// composed text carries the text.
struct NumericForm : PartKey
{
    enum Field { Description = 1, Keyname, ValueName, Min, Max, Spin, Default };

    QString min;
    QString max;
    QString spin;
    QString defaultValue;
    bool required = false;
    bool textConvert = false;

    static NumericForm load(const QStringList &editLines);
    std::optional<FieldError> validate(const QString &inheritedKey, const QLocale &locale = QLocale()) const;
    QString compose() const;
};

// A number that passed the number test as the checks see it: rounded to the nearest whole number,
// a half to the even neighbour; nullopt when it does not fit a signed 32-bit number.
std::optional<qint32> wholeNumber(const QString &text, const QLocale &locale = QLocale());

} // namespace kova
