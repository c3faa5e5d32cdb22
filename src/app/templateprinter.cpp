#include "templateprinter.h"

#include "mainwindow.h"
#include "platformservices.h"

#include "document/documentcontroller.h"
#include "document/filechooser.h"
#include "document/filesave.h"
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>
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
    QString pdf;
    {
        const BusyWindow busy(m_window);
        TemplateDocument &document = m_window.document();
        const QString savedPath = document.path();
        const bool savedModified = document.isModified();
        pdf = print();
        document.setPath(savedPath);
        document.setModified(savedModified);
        m_window.controller().UpdateCaption();
    }
    if (!pdf.isEmpty())
        keepPdf(pdf);
}

QString TemplatePrinter::print()
{
    TextModeController *mode = m_window.textMode();
    TempFiles &tempFiles = m_window.controller().tempFiles();
    const QString tempFile = NewTempFile(tempFiles);
    if (!mode || tempFile.isEmpty())
        return {};
    TemplateDocument &document = m_window.document();
    document.setPath(tempFile);
    if (!mode->isTextModeOn()) {
        SilentPrompter silent;
        if (!WriteTemplate(document, silent) || !mode->loadEditorFromFile(tempFile))
            return {};
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
        return {};
    return pdf;
}

// Without a printer the pages went to a temporary PDF (removed with the other temporary files): the
// user says where to keep a copy, which the desktop opens. The status bar says what became of it.
void TemplatePrinter::keepPdf(const QString &pdf)
{
    QStatusBar *status = m_window.statusBar();
    // Beside the template, named after it; an untitled one (named after its ADMX, if it was read from
    // one) in the user's documents folder, or home when there is none.
    const QString path = m_window.document().path();
    QString folder = QFileInfo(path).absolutePath();
    if (path.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    const QString admx = m_window.controller().admxSource();
    const QString name = QFileInfo(!path.isEmpty()   ? path
                                   : !admx.isEmpty() ? admx
                                                     : QStringLiteral("Template"))
                             .completeBaseName();
    const QString proposed = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    const QString target = m_window.controller().chooser().chooseFile(
        {QStringLiteral("No printer found: save the printout as PDF"), FileRequest::Mode::SavePdf, proposed});
    QFile printout(pdf);
    QString error;
    if (target.isEmpty()) {
        status->showMessage(QStringLiteral("No printer found: nothing was printed"));
    } else if (!printout.open(QIODevice::ReadOnly) || !saveFileAtomically(target, printout.readAll(), &error)) {
        m_window.prompter().tell(
            QStringLiteral("The printout could not be saved as %1: %2")
                .arg(QDir::toNativeSeparators(target), error.isEmpty() ? printout.errorString() : error),
            Message::Icon::Exclamation);
        status->showMessage(QStringLiteral("No printer found: nothing was printed"));
    } else {
        status->showMessage(QStringLiteral("No printer found: the printout is saved as ") +
                            QDir::toNativeSeparators(target));
        m_shell.ShellOpen(QUrl::fromLocalFile(target));
    }
}

} // namespace kova
