// ADMX export speed on the largest corpus template, beside the time to load that template in the
// same run (these machines are shared and noisy, so the ratio is the figure to watch).
//
//   bench_admx [--rounds N] [FILE]
#include "admx/admxexport.h"
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

namespace {

class YesPrompter : public Prompter
{
public:
    Answer ask(const Message &m) override { return m.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::Yes; }
};

QString largestCorpusTemplate()
{
    const QFileInfoList files = QDir(QStringLiteral(KOVA_CORPUS_DIR "/adm")).entryInfoList(QDir::Files, QDir::Size);
    return files.isEmpty() ? QString() : files.first().absoluteFilePath();
}

template<typename F>
double best(int rounds, F &&run)
{
    double seconds = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        seconds = std::min(seconds, timer.nsecsElapsed() / 1e9);
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int rounds = 5;
    if (args.size() >= 2 && args.first() == u"--rounds") {
        rounds = args.at(1).toInt();
        args = args.mid(2);
    }
    const QString file = args.isEmpty() ? largestCorpusTemplate() : args.first();
    if (file.isEmpty()) {
        std::fprintf(stderr, "no template to measure\n");
        return 1;
    }
    YesPrompter prompter;
    const LoadOptions options{false, true};
    TemplateDocument document;
    const double load = best(rounds, [&] { Vullen(document, file, prompter, options); });
    if (document.root() == nullptr) {
        std::fprintf(stderr, "%s did not load\n", qPrintable(file));
        return 1;
    }
    const admx::ExportOptions exportOptions = admx::defaultOptions(file);
    qsizetype bytes = 0;
    const double render = best(rounds, [&] {
        const admx::ExportResult r = admx::exportTemplate(document, exportOptions);
        bytes = r.admx.size() + r.adml.size();
    });
    QTemporaryDir dir;
    bool written = true;
    const double write =
        best(rounds, [&] { written = admx::writeAdmxFiles(document, dir.path(), exportOptions).ok && written; });

    std::printf("best of %d rounds: %s (%.1f MB), %d nodes, %.1f MB of ADMX and ADML\n", rounds,
                qPrintable(QFileInfo(file).fileName()), QFileInfo(file).size() / 1e6, document.nodeCount(),
                bytes / 1e6);
    std::printf("  load (baseline)        %8.3f s\n", load);
    std::printf("  export in memory       %8.3f s  %5.2fx load\n", render, render / load);
    std::printf("  export with the files  %8.3f s  %5.2fx load   target under 0.5 s: %s\n", write, write / load,
                write < 0.5 ? "met" : "MISSED");
    return written ? 0 : 1;
}
