// Printing the largest corpus template to a PDF (the path taken without a printer), beside the time
// to load that template in the same run (the machines are shared and noisy: watch the ratio).
//
//   QT_QPA_PLATFORM=offscreen bench_print [--rounds N] [FILE]
#include "app/templateprinter.h"
#include "benchsupport.h"
#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"
#include "document/writer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>

using namespace kova;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto [rounds, file] = bench::templateRunFrom(app.arguments().mid(1), 1);
    if (file.isEmpty()) {
        std::fprintf(stderr, "no template to measure\n");
        return 1;
    }
    bench::YesPrompter prompter;
    TemplateDocument document;
    const double load = bench::best(rounds, [&] { Vullen(document, file, prompter, LoadOptions{false, true}); });
    if (document.root() == nullptr) {
        std::fprintf(stderr, "%s did not load\n", qPrintable(file));
        return 1;
    }
    QTextDocument text;
    text.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text.setPlainText(renderTemplate(document, false));
    QTemporaryDir dir;
    bool printed = true;
    const double print = bench::best(rounds, [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        printed = printDocument(text, printer) && printed;
    });
    std::printf("%s: %d lines\n", qPrintable(QFileInfo(file).fileName()), text.blockCount());
    std::printf("load  %.3f s\nprint %.3f s (PDF %lld bytes)%s\nratio print/load %.1f\n", load, print,
                QFileInfo(dir.filePath(QStringLiteral("out.pdf"))).size(), printed ? "" : " FAILED", print / load);
    return printed ? 0 : 1;
}
