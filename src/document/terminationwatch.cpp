#include "terminationwatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kova {

namespace {

// A signal handler can reach nothing but static storage; these are the watch's only shared state.
volatile std::sig_atomic_t g_received = 0;

#ifdef Q_OS_UNIX
int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onTerminationSignal(int signal)
{
    const int savedErrno = errno;
    if (g_received == 0)
        g_received = signal;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1); // a full pipe already holds a wake-up
    errno = savedErrno;
}
#endif

} // namespace

TerminationWatch::TerminationWatch(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (::pipe(g_pipe) != 0)
        return;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatch::deliver);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &action, &g_previous[i]);
        // A signal ignored when the program started (nohup, a shell's background job) stays ignored.
        if (g_previous[i].sa_handler == SIG_IGN)
            ::sigaction(kSignals[i], &g_previous[i], nullptr);
    }
#endif
}

TerminationWatch::~TerminationWatch()
{
#ifdef Q_OS_UNIX
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

int TerminationWatch::pending()
{
    return g_received;
}

void TerminationWatch::endProcess(int signal)
{
#ifdef Q_OS_UNIX
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
#endif
    std::_Exit(128 + signal);
}

void TerminationWatch::deliver()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
#endif
    const int signal = pending();
    if (signal == 0)
        return;
    m_notifier->setEnabled(false); // a second signal while the receivers run changes nothing
    emit terminationRequested(signal);
    endProcess(signal);
}

} // namespace kova
