// ADMX export speed on the largest corpus template, beside the time to load that template in the
// same run (these machines are shared and noisy, so the ratio is the figure to watch).
//
//   bench_admx [--rounds N] [FILE]
#include "admx/admxexport.h"
#include "benchsupport.h"
#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace kova;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto [rounds, file] = bench::templateRunFrom(app.arguments().mid(1), 5);
    if (file.isEmpty()) {
        std::fprintf(stderr, "no template to measure\n");
        return 1;
    }
    bench::YesPrompter prompter;
    const LoadOptions options{false, true};
    TemplateDocument document;
    const double load = bench::best(rounds, [&] { Vullen(document, file, prompter, options); });
    if (document.root() == nullptr) {
        std::fprintf(stderr, "%s did not load\n", qPrintable(file));
        return 1;
    }
    const admx::ExportOptions exportOptions = admx::defaultOptions(file);
    qsizetype bytes = 0;
    const double render = bench::best(rounds, [&] {
        const admx::ExportResult r = admx::exportTemplate(document, exportOptions);
        bytes = r.admx.size() + r.adml.size();
    });
    QTemporaryDir dir;
    bool written = true;
    const double write =
        bench::best(rounds, [&] { written = admx::writeAdmxFiles(document, dir.path(), exportOptions).ok && written; });

    std::printf("best of %d rounds: %s (%.1f MB), %d nodes, %.1f MB of ADMX and ADML\n", rounds,
                qPrintable(QFileInfo(file).fileName()), QFileInfo(file).size() / 1e6, document.nodeCount(),
                bytes / 1e6);
    std::printf("  load (baseline)        %8.3f s\n", load);
    std::printf("  export in memory       %8.3f s  %5.2fx load\n", render, render / load);
    std::printf("  export with the files  %8.3f s  %5.2fx load   target under 0.5 s: %s\n", write, write / load,
                write < 0.5 ? "met" : "MISSED");
    return written ? 0 : 1;
}
