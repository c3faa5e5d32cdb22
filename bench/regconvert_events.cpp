// What letting pending events run once per input line costs during a conversion.
//   regconvert_events EXPORT.reg
// Converts the export three times: without an event hook, with QCoreApplication::processEvents on
// every line, with a 10 ms timer running all along (so there are events to deliver), and with the
// same pump throttled by kova::Throttle.
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "registry/core/regconversion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

class NoPrompter : public kova::Prompter
{
public:
    kova::Answer ask(const kova::Message &) override { return kova::Answer::No; }
};

// Counts the turns a conversion offers and passes them to pump (when there is one).
class PumpHost : public kova::ConversionHost
{
public:
    PumpHost(const std::function<void()> &pump, bool throttled) : m_pump(pump), m_throttled(throttled) {}
    void progress(qint64, qint64) override
    {
        ++turns;
        if (m_pump && (!m_throttled || m_throttle.due()))
            m_pump();
    }
    qint64 turns = 0;

private:
    std::function<void()> m_pump;
    bool m_throttled;
    kova::Throttle m_throttle;
};

double convertOnce(const QString &input, const std::function<void()> &pump, bool throttled, qint64 *turns)
{
    NoPrompter prompter;
    kova::TempFiles temp;
    PumpHost host(pump, throttled);
    QString path = input;
    QElapsedTimer timer;
    timer.start();
    const bool ok = kova::ConvertRegFile(path, prompter, temp, host);
    const double seconds = timer.nsecsElapsed() / 1e9;
    temp.removeAll();
    *turns = host.turns;
    return ok ? seconds : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: regconvert_events EXPORT.reg\n", stderr);
        return 64;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const double mb = QFileInfo(input).size() / (1024.0 * 1024.0);
    qint64 turns = 0;
    const auto pump = [] { QCoreApplication::processEvents(); };
    const double bare = convertOnce(input, nullptr, false, &turns);
    const double pumped = convertOnce(input, pump, false, &turns);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    const double busy = convertOnce(input, pump, false, &turns);
    const int busyTicks = ticks;
    ticks = 0;
    const double throttled = convertOnce(input, pump, true, &turns);
    std::printf("%.1f MB, %lld lines\n", mb, static_cast<long long>(turns));
    std::printf("no event hook:              %6.2f s  %6.1f MB/s\n", bare, mb / bare);
    std::printf("processEvents per line:     %6.2f s  %6.1f MB/s  (+%.0f ns per line)\n", pumped, mb / pumped,
                (pumped - bare) * 1e9 / double(turns));
    std::printf("with a 10 ms timer running: %6.2f s  %6.1f MB/s  (%d timer events delivered)\n", busy, mb / busy,
                busyTicks);
    std::printf("throttled to every 15 ms:   %6.2f s  %6.1f MB/s  (%d timer events delivered)\n", throttled,
                mb / throttled, ticks);
    return bare < 0 || pumped < 0 || busy < 0 || throttled < 0 ? 1 : 0;
}
