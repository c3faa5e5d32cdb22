#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

class DocumentController;
class ProgramStarter;
class Prompter;
class clsReg;

// POLEDIT reads the template it opens from this value of the user hive.
inline QString poleditSettingKey()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\PolEdit\\");
}

// A string value of the user hive ("*" names the key's default value). Reading gives defaultValue
// for a missing key or value, an empty value, or a registry that cannot be read; writing creates the
// key when needed and is false when the key or the value could not be written.
QString ReadUserString(clsReg &registry, const QString &key, const QString &name, const QString &defaultValue);
bool WriteUserString(clsReg &registry, const QString &key, const QString &name, const QString &value);

// How to start a program: the program, its arguments and the environment entries it needs.
struct ProgramCommand
{
    QString program;
    QStringList arguments;
    QStringList environment;
};

// How to start "poledit.exe" here, or nullopt when it cannot be started. Windows: found on the
// program search path. Elsewhere: found (names compared without case) on searchPath or in the
// windows and system folders of the Wine prefix winePrefix, and started through "wine" from
// searchPath, with WINEPREFIX set when winePrefix is a Wine prefix (it holds drive_c), so POLEDIT
// reads the registry the program writes to.
std::optional<ProgramCommand> findPoledit(const QStringList &searchPath, const QString &winePrefix);

// The program search path of this process (PATH).
QStringList programSearchPath();

// Hands the current template to POLEDIT: the template goes to a new temporary file through the
// writer, POLEDIT's "InfFilename" setting names that file while POLEDIT starts and is put back at
// once, and the document keeps its own file name and modified flag.
class PoleditLauncher
{
public:
    PoleditLauncher(DocumentController &controller, Prompter &prompter, clsReg &registry, ProgramStarter &starter,
                    QStringList searchPath, QString winePrefix);

    void LaunchPoledit();

private:
    bool start();

    DocumentController &m_controller;
    Prompter &m_prompter;
    clsReg &m_registry;
    ProgramStarter &m_starter;
    QStringList m_searchPath;
    QString m_winePrefix;
};

} // namespace kova
