#pragma once

#include <QString>

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
// that the user saves where they choose and the desktop then opens in its viewer; the status bar says
// where it is. The window is disabled and shows the wait cursor while the job runs; the document keeps
// its file name and modified flag. A template that cannot be printed prints nothing, silently.
class TemplatePrinter
{
public:
    TemplatePrinter(MainWindow &window, PrinterAccess &printers, DesktopShell &shell);

    void PrintTemplate();

private:
    // Prints; the temporary PDF the pages went to when there is no printer, else "".
    QString print();
    void keepPdf(const QString &pdf);

    MainWindow &m_window;
    PrinterAccess &m_printers;
    DesktopShell &m_shell;
};

} // namespace kova
