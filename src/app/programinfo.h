#pragma once

#include <QString>

namespace kova {

// The program's own fixed texts and addresses.
inline QString programTitle()
{
    return QStringLiteral("Kova");
}
inline QString programVersion()
{
    return QStringLiteral("0.1.0");
}
// The author's web site (also the update server) and the support mail address.
inline QString webSiteAddress()
{
    return QStringLiteral("http://kova.brenlow.example");
}
inline QString supportMailAddress()
{
    return QStringLiteral("mailto:kova@brenlow.example");
}

} // namespace kova
