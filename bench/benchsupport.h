#pragma once

// What the benchmarks share: a prompter that says yes, the largest template of the shared corpus,
// and the best of several timed runs.
#include "document/prompter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace kova::bench {

// Answers every question Yes (a plain message Ok), so that loads and deletes go through.
class YesPrompter : public Prompter
{
public:
    Answer ask(const Message &m) override { return m.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::Yes; }
};

#ifdef KOVA_CORPUS_DIR
// The largest ADM template of the shared corpus; "" when the corpus is not there.
inline QString largestCorpusTemplate()
{
    const QFileInfoList files = QDir(QStringLiteral(KOVA_CORPUS_DIR "/adm")).entryInfoList(QDir::Files, QDir::Size);
    return files.isEmpty() ? QString() : files.first().absoluteFilePath();
}

// "[--rounds N] [FILE]": how often to run, and the template (the largest of the corpus when none is
// named; "" when there is none either).
struct TemplateRun
{
    int rounds;
    QString file;
};
inline TemplateRun templateRunFrom(QStringList args, int rounds)
{
    if (args.size() >= 2 && args.first() == u"--rounds") {
        rounds = args.at(1).toInt();
        args = args.mid(2);
    }
    return {rounds, args.isEmpty() ? largestCorpusTemplate() : args.first()};
}
#endif

// The fastest of rounds runs of run, in seconds.
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

} // namespace kova::bench
