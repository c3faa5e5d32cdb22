#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace kova {

// The pictures of the registry views by the names their rules use: "machine", "user",
// "closedfolder", "openfolder", "standaard" and "binair". The window hands over its own; a name it
// leaves out shows the style's nearest standard picture.
class RegistryImages
{
public:
    QIcon icon(const QString &name) const;
    void setIcon(const QString &name, const QIcon &icon) { m_icons.insert(name, icon); }

private:
    QHash<QString, QIcon> m_icons;
    // The standard pictures once looked up: a list of thousands of rows asks for the same few.
    mutable QHash<QString, QIcon> m_standard;
};

} // namespace kova
