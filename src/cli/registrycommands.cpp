#include "registrycommands.h"

#include "stderrprompter.h"

#include "document/filesave.h"
#include "document/loader.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "registry/core/clsreg.h"
#include "registry/core/fileassociations.h"
#include "registry/core/regconversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kova::cli {

namespace {

const QString kMoveToPolicies = QStringLiteral("--move-to-policies");
const QString kKeepKeys = QStringLiteral("--keep-keys");
const QString kRaw = QStringLiteral("--raw");
const QString kStrings = QStringLiteral("--strings");

// Removes the run's temporary files however the command ends.
struct TempFilesGuard
{
    TempFiles files;
    ~TempFilesGuard() { files.removeAll(); }
};

// Puts the conversion's own output at output: renamed into place when both lie on one file system
// (the output takes the permissions a new file, or the file it replaces, would have), else written
// atomically. The output is not touched on failure.
bool moveResult(const QString &result, const QString &output, Prompter &prompter)
{
#ifdef Q_OS_UNIX
    const QByteArray target = QFile::encodeName(output);
    struct stat st;
    mode_t mode = 0;
    if (::stat(target.constData(), &st) == 0) {
        mode = S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) ? (st.st_mode & 07777) : 0;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const QByteArray source = QFile::encodeName(result);
    if (mode != 0 && ::chmod(source.constData(), mode) == 0 && std::rename(source.constData(), target.constData()) == 0)
        return true;
#endif
    QFile in(result);
    if (!in.open(QIODevice::ReadOnly)) {
        prompter.tell(in.errorString(), Message::Icon::Exclamation);
        return false;
    }
    QString error;
    if (!saveFileAtomically(output, in.readAll(), &error)) {
        prompter.tell(error, Message::Icon::Exclamation);
        return false;
    }
    return true;
}

int convert(const Invocation &inv)
{
    const QString output = inv.arguments.at(1);
    // The Policies question is answered by the flags; any other question (the loader's) with No.
    const bool move = inv.has(kMoveToPolicies);
    StderrPrompter prompter([move](const Message &m) {
        return move && m.text.startsWith(QLatin1StringView("KOVA can convert")) ? Answer::Yes : Answer::No;
    });

    TempFilesGuard temp;
    QString path = inv.arguments.at(0);
    if (!ConvertRegFile(path, prompter, temp.files))
        return Failure;

    if (inv.has(kRaw))
        return moveResult(path, output, prompter) ? Success : Failure;

    TemplateDocument document;
    const LoadResult loaded = Vullen(document, path, prompter);
    if (loaded.status == LoadResult::Status::Fatal)
        return Fatal;
    if (!loaded.loaded())
        return Failure;
    document.setPath(output);
    document.setStringsOption(inv.has(kStrings));
    return WriteTemplate(document, prompter) ? Success : Failure;
}

// The program the associations name: the editor beside kova-cli.
QString editorPath()
{
    const QFileInfo self(currentExecutablePath());
    return QDir::toNativeSeparators(self.absoluteDir().filePath(QStringLiteral("kova")));
}

int associate(const RegistryLocation &location)
{
    const std::unique_ptr<RegistryBackend> backend = makeRegistryBackend(location);
    clsReg reg(*backend);
    const QList<AssociationFailure> failures = registerFileAssociations(reg, editorPath());
    for (const AssociationFailure &f : failures) {
        std::fprintf(stderr, "%s: %s (%d, %s)\n", qPrintable(f.call), qPrintable(f.error.description()),
                     int(f.error.number()), qPrintable(f.error.source()));
    }
    return failures.isEmpty() ? Success : Failure;
}

} // namespace

std::vector<CliCommand> registryCommands(const RegistryLocation &registry)
{
    return {
        {QStringLiteral("convert"),
         QStringLiteral("convert INPUT.reg OUTPUT.adm [--move-to-policies | --keep-keys] [--raw] [--strings]"),
         2,
         {kMoveToPolicies, kKeepKeys, kRaw, kStrings},
         {kMoveToPolicies, kKeepKeys},
         convert},
        {QStringLiteral("associate"),
         QStringLiteral("associate [--registry DIR]"),
         0,
         {},
         {},
         [registry](const Invocation &) { return associate(registry); }},
    };
}

} // namespace kova::cli
