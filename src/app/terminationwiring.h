#pragma once

namespace kova {

class MainWindow;
class TerminationWatch;

// Ends the editor when the watch reports SIGTERM, SIGINT or SIGHUP: leaveOnSignal runs, then the
// process ends. window must outlive the watch's signal.
void connectTermination(MainWindow &window, TerminationWatch &watch);

// What the editor does before a signal ends it, in order: first whatever must survive the program
// is kept (a copy of a document with unsaved changes belongs here), then the temporary files of the
// run are removed. No question is asked: nobody may be there to answer.
void leaveOnSignal(MainWindow &window);

} // namespace kova
