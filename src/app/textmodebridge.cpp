#include "textmodebridge.h"

#include "mainwindow.h"

#include "history/templatehistory.h"

#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodepage.h"

#include <QApplication>

namespace kova {

TextModeBridge::TextModeBridge(MainWindow &window)
    : QObject(&window), m_window(window), m_controller(new TextModeController(*this, &window))
{
    m_controller->page()->setFocusProxy(m_controller->editor());
    window.setTextModeView(m_controller->page(), m_controller->toolBar(), m_controller->editorMenu());
}

TextModeBridge::~TextModeBridge() = default;

TemplateDocument &TextModeBridge::document()
{
    return m_window.document();
}

Prompter &TextModeBridge::prompter()
{
    return m_window.prompter();
}

TempFiles &TextModeBridge::tempFiles()
{
    return m_window.controller().tempFiles();
}

bool TextModeBridge::EditScreenOpen(bool showMessage)
{
    return m_window.controller().EditScreenOpen(showMessage);
}

LoadResult TextModeBridge::LoadDocument(const QString &path, bool reportLine)
{
    return m_window.controller().LoadDocument(path, reportLine);
}

void TextModeBridge::UpdateCaption()
{
    m_window.controller().UpdateCaption();
}

void TextModeBridge::showTextView(bool textView)
{
    m_window.showTextMode(textView);
}

void TextModeBridge::textModeStarting()
{
    m_window.history().textModeEntered();
}

void TextModeBridge::textModeApplied(bool changed)
{
    m_window.history().textModeApplied(changed);
}

void TextModeBridge::textModeEnded()
{
    m_window.history().textModeLeft();
}

void TextModeBridge::setWaitCursor(bool wait)
{
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// The same outside tools as the main window's menus.
OutsideTools *TextModeBridge::outsideTools()
{
    return m_window.outsideTools();
}

} // namespace kova
