#pragma once

#include <QObject>

namespace kova {

class FileChooser;
class MainWindow;
namespace admx {
struct WriteResult;
}

// File, "Export as ADMX...": asks for the output folder, writes NAME.admx and en-US/NAME.adml there,
// and tells the user once what was written and what ADMX could not hold.
class AdmxExportCommand : public QObject
{
    Q_OBJECT

public:
    // Connects itself to the window's "M_ExportAdmx" item; window owns it.
    AdmxExportCommand(MainWindow &window, FileChooser &chooser);

    void run();

    // The message shown after an export; at most a screenful of warnings is listed.
    static QString report(const admx::WriteResult &result);

private:
    MainWindow &m_window;
    FileChooser &m_chooser;
};

} // namespace kova
