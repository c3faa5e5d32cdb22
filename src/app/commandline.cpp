#include "commandline.h"

namespace kova {

QString joinCommandLine(const QStringList &arguments)
{
    QStringList parts;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        parts.append(a.contains(u' ') && !a.contains(u'"') ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    }
    return parts.join(u' ');
}

} // namespace kova
