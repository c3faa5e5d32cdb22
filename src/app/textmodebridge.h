#pragma once

#include "textedit/textmodehost.h"

#include <QObject>

namespace kova {

class MainWindow;
class TextModeController;

// Raw text mode in the main window: the window's side of TextModeHost. It owns the text-mode
// controller, places its page, Editor menu and toolbar in the window, and answers the controller with
// the window's own document commands: the one EditScreenOpen, the real LoadDocument and the caption
// of the document controller. It also connects "Edit file with text editor" (and the "Editor"
// button that shares it) and the close sequence's update to the controller.
class TextModeBridge : public QObject, public TextModeHost
{
    Q_OBJECT

public:
    explicit TextModeBridge(MainWindow &window);
    ~TextModeBridge() override;

    TextModeController *controller() const { return m_controller; }

    TemplateDocument &document() override;
    Prompter &prompter() override;
    TempFiles &tempFiles() override;
    bool EditScreenOpen(bool showMessage) override;
    LoadResult LoadDocument(const QString &path, bool reportLine) override;
    void UpdateCaption() override;
    void showTextView(bool textView) override;
    void textModeStarting() override;
    void textModeApplied(bool changed) override;
    void textModeEnded() override;
    void setWaitCursor(bool wait) override;
    OutsideTools *outsideTools() override;

private:
    MainWindow &m_window;
    TextModeController *m_controller;
};

} // namespace kova
