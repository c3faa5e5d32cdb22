#pragma once

#include <QString>

namespace kova {

// What a file dialog is asked for. Opening offers "Policy Template Files (*.adm)" and "Registry files
// (*.reg)", saving the first only; the first filter is preselected and proposedName is offered. Folder
// asks for an existing folder (proposedName is the one to start in). SavePdf saves a printout, offering
// "PDF files (*.pdf)".
struct FileRequest
{
    enum class Mode { Open, Save, Folder, SavePdf };

    QString title;
    Mode mode = Mode::Open;
    QString proposedName;
};

// File dialogs, behind an interface like the message boxes: the application shows a real dialog,
// tests answer from a script. An empty name means the user cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    virtual QString chooseFile(const FileRequest &request) = 0;
};

} // namespace kova
