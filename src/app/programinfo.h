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
// The update server, set when the program is built (KOVA_UPDATE_SERVER); the author's web site is
// on the same host.
inline QString updateServerAddress()
{
#ifdef KOVA_UPDATE_SERVER
    return QStringLiteral(KOVA_UPDATE_SERVER);
#else
    return QStringLiteral("http://kova.brenlow.example");
#endif
}
inline QString webSiteAddress()
{
    return updateServerAddress();
}
// The support mail address.
inline QString supportMailAddress()
{
    return QStringLiteral("mailto:kova@brenlow.example");
}

} // namespace kova
