#include "registryimages.h"

#include <QApplication>
#include <QStyle>

namespace kova {

QIcon RegistryImages::icon(const QString &name) const
{
    const auto it = m_icons.constFind(name);
    if (it != m_icons.cend() && !it->isNull())
        return *it;
    static const QHash<QString, QStyle::StandardPixmap> standard{
        {QStringLiteral("machine"), QStyle::SP_ComputerIcon},
        {QStringLiteral("user"), QStyle::SP_DirHomeIcon},
        {QStringLiteral("closedfolder"), QStyle::SP_DirClosedIcon},
        {QStringLiteral("openfolder"), QStyle::SP_DirOpenIcon},
        {QStringLiteral("standaard"), QStyle::SP_FileIcon},
        {QStringLiteral("binair"), QStyle::SP_DriveHDIcon},
    };
    auto known = m_standard.constFind(name);
    if (known == m_standard.cend())
        known = m_standard.insert(name, QApplication::style()->standardIcon(standard.value(name, QStyle::SP_FileIcon)));
    return *known;
}

} // namespace kova
