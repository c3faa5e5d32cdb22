// Opening an ADMX set (read with its ADML and loaded as a template, as File, Open does) beside
// loading an ADM of the same policies, in the same run: in process, and as kova-cli runs
// (import-admx against check), where the target is at most 3 times; the runs are interleaved and
// the best of each kept.
//
//   bench_admximport [--rounds N] [FILE.admx]   (default: the largest ADMX of the corpus)
#include "admx/admximport.h"
#include "benchsupport.h"
#include "document/loader.h"
#include "document/templatedocument.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace kova;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int rounds = 5;
    if (const qsizetype at = args.indexOf(QStringLiteral("--rounds")); at >= 0 && at + 1 < args.size()) {
        rounds = std::max(1, args.at(at + 1).toInt());
        args.remove(at, 2);
    }
    QString file = args.value(0);
    if (file.isEmpty()) {
        QDirIterator it(QStringLiteral(KOVA_CORPUS_DIR "/admx"), {QStringLiteral("*.admx")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (file.isEmpty() || QFileInfo(f).size() > QFileInfo(file).size())
                file = f;
        }
    }
    admx::ImportResult imported = admx::importAdmx(file, {});
    if (!imported.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(imported.error));
        return 1;
    }
    QTemporaryDir dir;
    const QString adm = dir.filePath(QStringLiteral("same.adm"));
    QFile out(adm);
    if (!out.open(QIODevice::WriteOnly) || out.write(imported.adm) != imported.adm.size())
        return 1;
    out.close();

    bench::YesPrompter prompter;
    LoadOptions options;
    options.newerStatements = true;
    int nodes = 0;
    const auto run = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(KOVA_CLI), args);
        p.waitForFinished(-1);
    };
    // The four interleaved, round by round, so that a busy machine slows each of them alike.
    double check = 1e9, open = 1e9, cliCheck = 1e9, cliImport = 1e9;
    for (int round = 0; round < rounds; ++round) {
        check = std::min(check, bench::best(1, [&] {
                             TemplateDocument document;
                             Vullen(document, adm, prompter, options);
                             nodes = document.nodeCount();
                         }));
        open = std::min(open, bench::best(1, [&] {
                            TemplateDocument document;
                            const admx::ImportResult r = admx::importAdmx(file, {});
                            loadTemplateBytes(document, r.adm, prompter, options);
                        }));
        cliCheck = std::min(cliCheck, bench::best(1, [&] {
                                run({QStringLiteral("check"), adm, QStringLiteral("--newer-statements")});
                            }));
        cliImport = std::min(cliImport, bench::best(1, [&] {
                                 run({QStringLiteral("import-admx"), file, dir.filePath(QStringLiteral("o.adm"))});
                             }));
    }
    std::printf("best of %d rounds: %s (%.2f MB with its ADML), %d nodes\n", rounds,
                qPrintable(QFileInfo(file).fileName()),
                (QFileInfo(file).size() + QFileInfo(imported.admlPath).size()) / 1e6, nodes);
    std::printf("  load of the same policies as ADM (baseline)  %8.4f s\n", check);
    std::printf("  open of the ADMX                             %8.4f s  %5.2fx\n", open, open / check);
    std::printf("  kova-cli check of the ADM (baseline)         %8.4f s\n", cliCheck);
    std::printf("  kova-cli import-admx                         %8.4f s  %5.2fx   target at most 3x: %s\n", cliImport,
                cliImport / cliCheck, cliImport <= 3 * cliCheck ? "met" : "MISSED");
    return 0;
}
