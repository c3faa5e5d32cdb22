#include "templateprinter.h"

#include "mainwindow.h"
#include "platformservices.h"

#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/writer.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>

namespace kova {

namespace {

// Printing reports nothing: a template that cannot be written to a fresh temporary file simply
// prints nothing.
class SilentPrompter : public Prompter
{
public:
    Answer ask(const Message &message) override
    {
        return message.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::No;
    }
};

// The window takes no commands and shows the wait cursor for the lifetime of this object.
class BusyWindow
{
public:
    explicit BusyWindow(QWidget &window) : m_window(window)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_window.setEnabled(false);
    }
    ~BusyWindow()
    {
        m_window.setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    BusyWindow(const BusyWindow &) = delete;
    BusyWindow &operator=(const BusyWindow &) = delete;

private:
    QWidget &m_window;
};

} // namespace

bool printDocument(const QTextDocument &text, QPrinter &printer)
{
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    const std::unique_ptr<QTextDocument> pages(text.clone());
    pages->setDefaultFont(text.defaultFont());
    pages->documentLayout()->setPaintDevice(&printer);
    pages->setDocumentMargin(0);
    const QSizeF page = printer.pageRect(QPrinter::DevicePixel).size();
    pages->setPageSize(page);

    bool ok = true;
    const int count = pages->pageCount();
    for (int i = 0; i < count && ok; ++i) {
        if (i > 0)
            ok = printer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * page.height(), page.width(), page.height());
        painter.setClipRect(context.clip);
        pages->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end() && ok;
}

TemplatePrinter::TemplatePrinter(MainWindow &window, PrinterAccess &printers, DesktopShell &shell)
    : m_window(window), m_printers(printers), m_shell(shell)
{}

void TemplatePrinter::PrintTemplate()
{
    const BusyWindow busy(m_window);
    TemplateDocument &document = m_window.document();
    const QString savedPath = document.path();
    const bool savedModified = document.isModified();
    print();
    document.setPath(savedPath);
    document.setModified(savedModified);
    m_window.controller().UpdateCaption();
}

bool TemplatePrinter::print()
{
    TextModeController *mode = m_window.textMode();
    TempFiles &tempFiles = m_window.controller().tempFiles();
    const QString tempFile = NewTempFile(tempFiles);
    if (!mode || tempFile.isEmpty())
        return false;
    TemplateDocument &document = m_window.document();
    document.setPath(tempFile);
    if (!mode->isTextModeOn()) {
        SilentPrompter silent;
        if (!WriteTemplate(document, silent) || !mode->loadEditorFromFile(tempFile))
            return false;
    }

    std::unique_ptr<QPrinter> printer = m_printers.defaultPrinter();
    QString pdf;
    if (!printer) {
        pdf = tempFile + QStringLiteral(".pdf");
        tempFiles.add(pdf);
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
    }
    if (!printDocument(*mode->editor()->document(), *printer))
        return false;
    if (!pdf.isEmpty()) {
        // The desktop may have no viewer for it: the status bar says where the printout is, for the
        // rest of the session (the file goes with the other temporary files when the editor closes).
        m_window.statusBar()->showMessage(QStringLiteral("No printer found: the printout is in ") +
                                          QDir::toNativeSeparators(pdf) +
                                          QStringLiteral(" (removed when Kova closes; copy it to keep it)"));
        m_shell.ShellOpen(QUrl::fromLocalFile(pdf));
    }
    return true;
}

} // namespace kova
