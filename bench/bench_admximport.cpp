// Opening an ADMX set (read with its ADML and loaded as a template, as File, Open does) beside
// loading an ADM of the same policies (what kova-cli check does), in the same run; the ratio is the
// figure to watch, with a target of at most 3.
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
    const double check = bench::best(rounds, [&] {
        TemplateDocument document;
        Vullen(document, adm, prompter, options);
        nodes = document.nodeCount();
    });
    const double open = bench::best(rounds, [&] {
        TemplateDocument document;
        const admx::ImportResult r = admx::importAdmx(file, {});
        loadTemplateBytes(document, r.adm, prompter, options);
    });
    std::printf("best of %d rounds: %s (%.2f MB with its ADML), %d nodes\n", rounds,
                qPrintable(QFileInfo(file).fileName()),
                (QFileInfo(file).size() + QFileInfo(imported.admlPath).size()) / 1e6, nodes);
    std::printf("  load of the same policies as ADM (baseline)  %8.4f s\n", check);
    std::printf("  open of the ADMX                             %8.4f s  %5.2fx   target at most 3x: %s\n", open,
                open / check, open <= 3 * check ? "met" : "MISSED");
    return 0;
}
