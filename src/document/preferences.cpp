#include "preferences.h"

#include <QSettings>

namespace kova {

namespace {
const QString kGroup = QStringLiteral("Kova Edit");
const QString kStrings = QStringLiteral("Strings");
const QString kNewerStatements = QStringLiteral("NewerStatements");
const QString kAdmxLanguage = QStringLiteral("AdmxLanguage");
} // namespace

Preferences::Preferences() : m_settings(std::make_unique<QSettings>(QStringLiteral("Brenlow"), QStringLiteral("Kova")))
{}

Preferences::Preferences(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{}

Preferences::~Preferences() = default;

QString Preferences::text(const QString &key) const
{
    return m_settings->value(kGroup + u'/' + key).toString();
}

void Preferences::setText(const QString &key, const QString &value)
{
    m_settings->setValue(kGroup + u'/' + key, value);
}

bool Preferences::strings() const
{
    return text(kStrings) == u"1";
}

void Preferences::setStrings(bool on)
{
    setText(kStrings, on ? QStringLiteral("1") : QStringLiteral("0"));
}

// A file's key: its path as hexadecimal UTF-8, since a settings key cannot hold every character.
static QString encodingKey(const QString &path)
{
    return QStringLiteral("Encoding_") + QString::fromLatin1(path.toUtf8().toHex());
}

QString Preferences::encodingFor(const QString &path) const
{
    return text(encodingKey(path));
}

void Preferences::setEncodingFor(const QString &path, const QString &name)
{
    if (name.isEmpty())
        m_settings->remove(kGroup + u'/' + encodingKey(path));
    else
        setText(encodingKey(path), name);
}

QString Preferences::admxLanguage() const
{
    return text(kAdmxLanguage);
}

void Preferences::setAdmxLanguage(const QString &language)
{
    setText(kAdmxLanguage, language);
}

bool Preferences::newerStatements() const
{
    return text(kNewerStatements) == u"1";
}

void Preferences::setNewerStatements(bool on)
{
    setText(kNewerStatements, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Preferences::recentFile(int item) const
{
    return text(QStringLiteral("Bestand") + QString::number(item));
}

void Preferences::setRecentFile(int item, const QString &path)
{
    setText(QStringLiteral("Bestand") + QString::number(item), path);
}

void Preferences::sync()
{
    m_settings->sync();
}

} // namespace kova
