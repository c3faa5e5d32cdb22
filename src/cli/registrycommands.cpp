#include "registrycommands.h"

#include "clioptions.h"
#include "stderrprompter.h"

#include "document/filesave.h"
#include "document/loader.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/terminationwatch.h"
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

// Removes the run's temporary files however the command ends: on return, and when a signal tells the
// program to end (stop() is called wherever the work can be left).
class TempFilesGuard : public ConversionHost
{
public:
    TempFiles files;
    ~TempFilesGuard() override { files.removeAll(); }

    void stopIfTold()
    {
        if (const int signal = TerminationWatch::pending()) {
            files.removeAll();
            TerminationWatch::endProcess(signal);
        }
    }
    void progress(qint64, qint64) override { stopIfTold(); }

private:
    TerminationWatch m_watch;
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
    std::optional<Answer> policies;
    if (inv.has(kMoveToPolicies))
        policies = Answer::Yes;
    else if (inv.has(kKeepKeys))
        policies = Answer::No;
    StderrPrompter prompter([policies](const Message &m) -> std::optional<Answer> {
        if (m.text.startsWith(QLatin1StringView("KOVA can convert")))
            return policies;
        return std::nullopt;
    });

    TempFilesGuard temp;
    QString path = inv.arguments.at(0);
    if (!ConvertRegFile(path, prompter, temp.files, temp))
        return Failure;
    temp.stopIfTold();

    if (inv.has(kRaw))
        return moveResult(path, output, prompter) ? Success : Failure;

    TemplateDocument document;
    const LoadResult loaded = Vullen(document, path, prompter);
    if (loaded.status == LoadResult::Status::Fatal)
        return Fatal;
    if (!loaded.loaded())
        return Failure;
    temp.stopIfTold(); // before the output is written
    document.setPath(output);
    document.setStringsOption(inv.has(kStrings));
    return WriteTemplate(document, prompter) ? Success : Failure;
}

bool isProgram(const QFileInfo &file)
{
    return file.isFile() && file.isExecutable();
}

// The editor the associations name: the one chosen with --editor; else the editor installed beside
// kova-cli; else, for a kova-cli run from its build tree, the editor built there. Empty (and
// problem says why) when there is none.
QString findEditor(const Invocation &inv, QString *problem)
{
    if (inv.values.contains(kEditor)) {
        const QFileInfo chosen(inv.values.value(kEditor));
        if (isProgram(chosen))
            return QDir::toNativeSeparators(chosen.absoluteFilePath());
        *problem = QStringLiteral("%1 is not a program").arg(chosen.filePath());
        return QString();
    }
    const QDir here = QFileInfo(currentExecutablePath()).absoluteDir();
    const QString name = QStringLiteral("kova");
    for (const QString &candidate :
         {here.filePath(name), here.filePath(QStringLiteral(KOVA_EDITOR_FROM_CLI "/kova"))}) {
        const QFileInfo file(candidate);
        if (isProgram(file))
            return QDir::toNativeSeparators(file.canonicalFilePath());
    }
    *problem = QStringLiteral("the editor is neither beside kova-cli in %1 nor in its build tree; name it with "
                              "--editor PATH")
                   .arg(QDir::toNativeSeparators(here.path()));
    return QString();
}

int associate(const RegistryLocation &location, const Invocation &inv)
{
    QString problem;
    const QString editor = findEditor(inv, &problem);
    if (editor.isEmpty()) {
        std::fprintf(stderr, "kova-cli: %s\n", qPrintable(problem));
        return Failure;
    }
    const std::unique_ptr<RegistryBackend> backend = makeRegistryBackend(location);
    clsReg reg(*backend);
    const QList<AssociationFailure> failures = registerFileAssociations(reg, editor);
    for (const AssociationFailure &f : failures) {
        std::fprintf(stderr, "%s: %s (%d, %s)\n", qPrintable(f.call), qPrintable(f.error.description()),
                     int(f.error.number()), qPrintable(f.error.source()));
    }
    return failures.isEmpty() ? Success : Failure;
}

} // namespace

std::vector<CliCommand> registryCommands(const RegistryLocation &registry)
{
    std::vector<CliCommand> commands = {
        {QStringLiteral("convert"),
         QStringLiteral("convert INPUT.reg OUTPUT.adm [--move-to-policies | --keep-keys] [--raw] [--strings]"),
         2,
         {kMoveToPolicies, kKeepKeys, kRaw, kStrings},
         {kMoveToPolicies, kKeepKeys},
         convert},
        {QStringLiteral("associate"),
         QStringLiteral("associate [--registry DIR] [--editor PATH]"),
         0,
         {},
         {},
         [registry](const Invocation &inv) { return associate(registry, inv); }},
    };
    commands.back().valueOptions = {kEditor};
    return commands;
}

} // namespace kova::cli
