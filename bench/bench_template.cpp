// Load and write speed and peak memory of the template engine, on a generated 10 MB template
// (about 20,000 policies) and on the largest corpus template. Every figure is printed beside a
// `wc -l` run on the same file in the same run, since these machines are noisy.
//
//   bench_template [--rounds N]            run everything
//   bench_template --measure load|write FILE   one measurement in this process (used internally)
//   bench_template --generate FILE         write the generated template to FILE (for other tools)
#include "benchsupport.h"

#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"
#include "document/writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace kova;

namespace {

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The resident high-water mark of this process image (VmHWM). getrusage's ru_maxrss would also
// count the parent's memory at fork time, as it survives exec.
long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

// One measurement in a fresh process, so that peak memory belongs to this operation alone.
// Prints "seconds peak-KiB-above-start".
int measure(const QString &what, const QString &file)
{
    bench::YesPrompter prompter;
    const LoadOptions options{false, true};
    {
        // Warm up on a tiny template, so that code and allocator start-up do not count as the
        // memory this file needs.
        TemplateDocument warm;
        loadTemplateBytes(warm, "CLASS MACHINE\r\nCATEGORY \"c\"\r\nKEYNAME \"k\"\r\nEND CATEGORY\r\n", prompter,
                          options);
        warm.setStringsOption(true);
        renderTemplate(warm, true);
    }
    TemplateDocument doc;
    if (what == u"write") {
        if (!Vullen(doc, file, prompter, options).loaded())
            return 1;
        doc.setPath(file + QStringLiteral(".out"));
        doc.setStringsOption(true);
    }
    const long before = residentKiB();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    const bool ok = what == u"load" ? Vullen(doc, file, prompter, options).loaded() : WriteTemplate(doc, prompter);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%.6f %.6f %ld\n", seconds, cpuSeconds() - cpuBefore, peakKiB() - before);
    return ok ? 0 : 1;
}

struct Sample
{
    double seconds = 1e9;
    double cpu = 1e9;
    long peakKiB = 0;
};

Sample runChild(const QString &what, const QString &file, int rounds)
{
    Sample best;
    for (int i = 0; i < rounds; ++i) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--measure", what, file});
        p.waitForFinished(-1);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (p.exitCode() != 0 || f.size() != 3) {
            std::fprintf(stderr, "measurement of %s on %s failed\n", qPrintable(what), qPrintable(file));
            std::exit(1);
        }
        best.seconds = std::min(best.seconds, f[0].toDouble());
        best.cpu = std::min(best.cpu, f[1].toDouble());
        best.peakKiB = std::max(best.peakKiB, f[2].toLong());
    }
    return best;
}

double wcSeconds(const QString &file, int rounds)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess p;
        p.start(QStringLiteral("wc"), {"-l", file});
        p.waitForFinished(-1);
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

// About 20,000 policies in 1,000 categories, every part type, 8-bit, with a [strings] section.
QByteArray generateTemplate()
{
    QByteArray t;
    t.reserve(11 << 20);
    QByteArray strings = "\r\n[strings]\r\n";
    const char *types[] = {"CHECKBOX", "EDITTEXT", "NUMERIC", "TEXT"};
    for (int cls = 0; cls < 2; ++cls) {
        t += cls == 0 ? "CLASS MACHINE\r\n\r\n" : "CLASS USER\r\n\r\n";
        for (int c = 0; c < 500; ++c) {
            const QByteArray cat = QByteArray::number(cls * 1000 + c);
            t += "CATEGORY !!Cat" + cat + "\r\n\tKEYNAME \"Software\\Policies\\Generated\\Area" + cat + "\"\r\n";
            strings += "Cat" + cat + "=\"Generated category number " + cat + "\"\r\n";
            for (int p = 0; p < 20; ++p) {
                const QByteArray pol = cat + '_' + QByteArray::number(p);
                t += "\tPOLICY !!Pol" + pol + "\r\n\t\tKEYNAME \"Software\\Policies\\Generated\\Area" + cat +
                     "\\Policy" + QByteArray::number(p) + "\"\r\n\t\tVALUENAME \"Enabled" + QByteArray::number(p) +
                     "\"\r\n\t\tVALUEON NUMERIC 1\r\n\t\tVALUEOFF NUMERIC 0 ; switched off explicitly\r\n";
                strings += "Pol" + pol + "=\"Generated policy " + pol + " that controls one setting\"\r\n";
                for (int k = 0; k < 3; ++k) {
                    const char *type = types[(p + k) % 4];
                    t += "\t\tPART \"Part " + QByteArray::number(k) + " of " + pol + "\" " + type + "\r\n";
                    if (qstrcmp(type, "TEXT") != 0)
                        t += "\t\t\tVALUENAME \"Value" + QByteArray::number(k) + "\"\r\n";
                    if (qstrcmp(type, "NUMERIC") == 0)
                        t += "\t\t\tMIN 0 MAX 9999 DEFAULT 10 SPIN 1\r\n";
                    if (qstrcmp(type, "EDITTEXT") == 0)
                        t += "\t\t\tMAXLEN 255 DEFAULT \"default text for this field\"\r\n";
                    t += "\t\tEND PART\r\n";
                }
                t += "\tEND POLICY\r\n";
            }
            t += "END CATEGORY\r\n\r\n";
        }
    }
    return t + strings;
}

void report(const QString &label, const QString &file, int rounds)
{
    const double mb = QFileInfo(file).size() / 1e6;
    const double wc = wcSeconds(file, rounds);
    const Sample load = runChild(QStringLiteral("load"), file, rounds);
    const Sample write = runChild(QStringLiteral("write"), file, rounds);
    std::printf("\n%s: %s (%.1f MB)\n", qPrintable(label), qPrintable(QFileInfo(file).fileName()), mb);
    std::printf("  wc -l          %8.3f s wall                     %8.1f MB/s  (baseline, process start included)\n",
                wc, mb / wc);
    for (const auto &[name, s] : {std::pair{"load + tree", load}, std::pair{"write strings", write}}) {
        std::printf("  %-14s %8.3f s wall %8.3f s cpu  %8.1f MB/s wall %8.1f MB/s cpu  %5.1fx wc's time"
                    "  peak %.1f MB = %.2fx file size\n",
                    name, s.seconds, s.cpu, mb / s.seconds, mb / s.cpu, s.seconds / wc, s.peakKiB / 1024.0,
                    s.peakKiB / 1024.0 / mb);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"--measure")
        return measure(args[2], args[3]);
    if (args.size() == 3 && args[1] == u"--generate") {
        QFile file(args[2]);
        return file.open(QIODevice::WriteOnly) && file.write(generateTemplate()) >= 0 ? 0 : 1;
    }
    const int rounds = args.size() == 3 && args[1] == u"--rounds" ? args[2].toInt() : 3;

    QTemporaryDir dir;
    const QString generated = dir.filePath(QStringLiteral("generated.adm"));
    QFile out(generated);
    if (!out.open(QIODevice::WriteOnly) || out.write(generateTemplate()) < 0)
        return 1;
    out.close();
    std::printf("best of %d rounds; peak memory is the growth of the resident set during the operation\n", rounds);
    report(QStringLiteral("generated template"), generated, rounds);
    const QString corpus = bench::largestCorpusTemplate();
    if (!corpus.isEmpty())
        report(QStringLiteral("largest corpus template"), corpus, rounds);
    return 0;
}
