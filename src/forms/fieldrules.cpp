#include "fieldrules.h"

namespace kova {

bool isNumber(const QString &text, const QLocale &locale)
{
    const QString t = text.trimmed();
    const QString decimal = locale.decimalPoint();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    bool separatorSeen = false;
    while (i < t.size()) {
        if (t.at(i).isDigit() && t.at(i).unicode() < 128) {
            ++digits;
            ++i;
        } else if (!separatorSeen && QStringView(t).mid(i).startsWith(decimal)) {
            separatorSeen = true;
            i += decimal.size();
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    QLocale strict = locale;
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    strict.toDouble(t, &ok);
    return ok;
}

} // namespace kova
