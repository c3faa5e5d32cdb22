#pragma once

#include <QObject>

class QSocketNotifier;

namespace kova {

// Catches the signals that end a program from outside (SIGTERM at logout or from `timeout`, SIGINT for
// Ctrl+C in a terminal, SIGHUP when the terminal goes), so the program can remove its temporary files
// and keep what must survive before it ends. The handler only records the signal and writes a byte to
// a pipe; everything else runs in ordinary code:
//   - a program with an event loop connects to terminationRequested, which arrives through the loop;
//   - a program without one (kova-cli) polls pending() where it can stop, and calls endProcess().
// One watch per process; the handlers in place before it are put back when it is destroyed. Elsewhere
// than on Unix the watch does nothing.
class TerminationWatch : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatch(QObject *parent = nullptr);
    ~TerminationWatch() override;

    // The signal received, or 0 while none has come.
    static int pending();
    // Ends the process as the signal itself would have (its default action), so a parent process or
    // shell sees the program killed by that signal.
    [[noreturn]] static void endProcess(int signal);

signals:
    // The program is told to end. Receivers save what must survive and remove temporary files; after
    // the last of them has run, the watch ends the process.
    void terminationRequested(int signal);

private:
    void deliver();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kova
