#pragma once

class QPrinter;
class QTextDocument;

namespace kova {

class DesktopShell;
class MainWindow;
class PrinterAccess;

// Lays out text on printer one page after the other, one inch from every edge of the paper, in the
// text's own default font. False when the printer cannot be opened or refuses a page.
bool printDocument(const QTextDocument &text, QPrinter &printer);

// Prints the template as the writer would save it, or in text mode the editor's text as it stands
// (edits not yet applied included), on the default printer. Without a printer the pages go to a PDF
// beside the temporary files (listed with them), which the desktop then opens in its viewer. The
// window is disabled and shows the wait cursor while the job runs; the document keeps its file name
// and modified flag. Errors end the job silently.
class TemplatePrinter
{
public:
    TemplatePrinter(MainWindow &window, PrinterAccess &printers, DesktopShell &shell);

    void PrintTemplate();

private:
    bool print();

    MainWindow &m_window;
    PrinterAccess &m_printers;
    DesktopShell &m_shell;
};

} // namespace kova
