#include "icons.h"

#include <QDir>
#include <QHash>
#include <QStandardPaths>

namespace kova {

void setUpIconTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString &dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                        QStandardPaths::LocateDirectory))
        if (!paths.contains(dir))
            paths.append(dir);
    QIcon::setThemeSearchPaths(paths);
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != u"hicolor")
        return;
    for (const char *theme : {"breeze", "Adwaita", "oxygen", "Tango"}) {
        for (const QString &dir : std::as_const(paths)) {
            if (QDir(dir).exists(QString::fromLatin1(theme) + QStringLiteral("/index.theme"))) {
                QIcon::setThemeName(QString::fromLatin1(theme));
                return;
            }
        }
    }
}

QIcon kovaIcon(const QString &name)
{
    static const QHash<QString, QStringList> themeNames{
        {QStringLiteral("new"), {QStringLiteral("document-new")}},
        {QStringLiteral("open-file"), {QStringLiteral("document-open")}},
        {QStringLiteral("save"), {QStringLiteral("document-save")}},
        {QStringLiteral("saveas"), {QStringLiteral("document-save-as")}},
        {QStringLiteral("print"), {QStringLiteral("document-print")}},
        {QStringLiteral("expand"), {QStringLiteral("expand-all"), QStringLiteral("zoom-in")}},
        {QStringLiteral("collapse"), {QStringLiteral("collapse-all"), QStringLiteral("zoom-out")}},
        {QStringLiteral("strings"), {QStringLiteral("format-text-bold")}},
        {QStringLiteral("poledit"), {QStringLiteral("preferences-system")}},
        {QStringLiteral("editor"), {QStringLiteral("document-edit"), QStringLiteral("accessories-text-editor")}},
        {QStringLiteral("help"), {QStringLiteral("help-contents")}},
        {QStringLiteral("mail"), {QStringLiteral("mail-send")}},
        {QStringLiteral("web"), {QStringLiteral("internet-web-browser")}},
        {QStringLiteral("about"), {QStringLiteral("help-about")}},
        {QStringLiteral("root"), {QStringLiteral("computer")}},
        {QStringLiteral("machine"), {QStringLiteral("network-server")}},
        {QStringLiteral("user"), {QStringLiteral("user-identity")}},
        {QStringLiteral("category"), {QStringLiteral("folder")}},
        {QStringLiteral("open"), {QStringLiteral("folder-open")}},
        {QStringLiteral("policy"), {QStringLiteral("text-x-generic")}},
        {QStringLiteral("part"), {QStringLiteral("preferences-other")}},
    };
    static QHash<QString, QIcon> cache;
    const auto cached = cache.constFind(name);
    if (cached != cache.constEnd())
        return *cached;
    const QIcon fallback(QStringLiteral(":/kova/icons/") + name + QStringLiteral(".png"));
    QIcon icon = fallback;
    for (const QString &themeName : themeNames.value(name)) {
        if (QIcon::hasThemeIcon(themeName)) {
            icon = QIcon::fromTheme(themeName, fallback);
            break;
        }
    }
    if (icon.isNull())
        icon = fallback;
    cache.insert(name, icon);
    return icon;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kova/program/%1x%1/apps/io.github.brenlow.Kova.png").arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace kova
