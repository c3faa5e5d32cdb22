#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace kova {

// The per-user preferences: organization "Brenlow", group "Kova Edit". Values are stored as text the
// way they always were: "Strings" is on only when it reads "1"; "Bestand1" to "Bestand4" hold the
// recent files, newest first.
class Preferences
{
public:
    // The user's own settings store.
    Preferences();
    // A store in an INI file of its own (tests, portable set-ups).
    explicit Preferences(const QString &iniFile);
    ~Preferences();
    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    bool strings() const;
    void setStrings(bool on);

    // Accept the statements of newer templates while loading (off unless stored as "1").
    bool newerStatements() const;
    void setNewerStatements(bool on);

    // Recent file item 1 to 4.
    QString recentFile(int item) const;
    void setRecentFile(int item, const QString &path);

    // The encoding chosen for a file with Reopen with Encoding (its name), "" when none was.
    QString encodingFor(const QString &path) const;
    void setEncodingFor(const QString &path, const QString &name);

    // The language an ADMX is read in (its ADML's folder, "de-DE"); "" for the user's own, else en-US.
    QString admxLanguage() const;
    void setAdmxLanguage(const QString &language);

    void sync();

private:
    QString text(const QString &key) const;
    void setText(const QString &key, const QString &value);

    std::unique_ptr<QSettings> m_settings;
};

} // namespace kova
