#include "poleditlauncher.h"

#include "platformservices.h"

#include "document/documentcontroller.h"
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryerror.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kova {

namespace {

const QString kInfFilename = QStringLiteral("InfFilename");
const QString kPoledit = QStringLiteral("poledit.exe");

void address(clsReg &registry, const QString &key, const QString &name)
{
    registry.setClassKey(Hive::CurrentUser);
    registry.setSectionKey(key);
    registry.setValueKey(name == u"*" ? QString() : name);
}

#ifndef Q_OS_WIN
// The file name in dir, whatever the case of its letters on disk.
QString fileIn(const QString &dir, const QString &name)
{
    const QStringList found = QDir(dir).entryList({name}, QDir::Files | QDir::Readable, QDir::Name);
    return found.isEmpty() ? QString() : QDir(dir).absoluteFilePath(found.first());
}
#endif

} // namespace

QString ReadUserString(clsReg &registry, const QString &key, const QString &name, const QString &defaultValue)
{
    try {
        address(registry, key, name);
        registry.setDEFAULT(QVariant());
        const QVariant value = registry.Value();
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            return value.toString();
    } catch (const std::exception &) {
        // an unreadable store is a missing value here
    }
    return defaultValue;
}

bool WriteUserString(clsReg &registry, const QString &key, const QString &name, const QString &value)
{
    try {
        address(registry, key, name);
        registry.setValue(value);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

QStringList programSearchPath()
{
    return qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

std::optional<ProgramCommand> findPoledit(const QStringList &searchPath, const QString &winePrefix)
{
#ifdef Q_OS_WIN
    Q_UNUSED(winePrefix);
    const QString program = QStandardPaths::findExecutable(kPoledit, searchPath);
    if (program.isEmpty())
        return std::nullopt;
    return ProgramCommand{program, {}, {}};
#else
    QString exe;
    for (const QString &dir : searchPath) {
        exe = fileIn(dir, kPoledit);
        if (!exe.isEmpty())
            break;
    }
    const bool isWinePrefix = !winePrefix.isEmpty() && QFileInfo(winePrefix + QStringLiteral("/drive_c")).isDir();
    if (exe.isEmpty() && isWinePrefix) {
        for (const char *folder : {"/drive_c/windows", "/drive_c/windows/system32", "/drive_c/windows/syswow64"}) {
            exe = fileIn(winePrefix + QLatin1String(folder), kPoledit);
            if (!exe.isEmpty())
                break;
        }
    }
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"), searchPath);
    if (exe.isEmpty() || wine.isEmpty())
        return std::nullopt;
    ProgramCommand command{wine, {exe}, {}};
    if (isWinePrefix)
        command.environment << QStringLiteral("WINEPREFIX=") + QDir(winePrefix).absolutePath();
    return command;
#endif
}

PoleditLauncher::PoleditLauncher(DocumentController &controller, Prompter &prompter, clsReg &registry,
                                 ProgramStarter &starter, QStringList searchPath, QString winePrefix)
    : m_controller(controller), m_prompter(prompter), m_registry(registry), m_starter(starter),
      m_searchPath(std::move(searchPath)), m_winePrefix(std::move(winePrefix))
{}

void PoleditLauncher::LaunchPoledit()
{
    if (m_controller.EditScreenOpen(true))
        return;
    const QString former = ReadUserString(m_registry, poleditSettingKey(), kInfFilename, QString());

    TemplateDocument &document = m_controller.document();
    const QString savedPath = document.path();
    const bool savedModified = document.isModified();
    QString error;
    const QString tempFile = NewTempFile(m_controller.tempFiles(), &error);
    if (tempFile.isEmpty()) {
        m_prompter.tell(error, Message::Icon::Exclamation);
        return;
    }
    document.setPath(tempFile);
    if (WriteTemplate(document, m_prompter)) {
        WriteUserString(m_registry, poleditSettingKey(), kInfFilename, tempFile);
        if (!start())
            m_prompter.tell(QStringLiteral("Poledit is not installed"), Message::Icon::Exclamation);
        WriteUserString(m_registry, poleditSettingKey(), kInfFilename, former);
    }
    document.setPath(savedPath);
    document.setModified(savedModified);
    m_controller.UpdateCaption();
}

bool PoleditLauncher::start()
{
    const std::optional<ProgramCommand> command = findPoledit(m_searchPath, m_winePrefix);
    return command && m_starter.startDetached(command->program, command->arguments, command->environment);
}

} // namespace kova
