#pragma once

#include <QWidget>

class QLabel;

namespace kova {

class AdmTextEditor;
class FieldLabel;
class TextModeField;

// The text page shown in place of the tab pages: the editor above; below it the search field, the
// go-to-line field with their captions, and the line display. Widgets only; TextModeController runs it.
class TextModePage : public QWidget
{
    Q_OBJECT

public:
    explicit TextModePage(QWidget *parent = nullptr);

    AdmTextEditor *editor() const { return m_editor; }
    TextModeField *searchField() const { return m_searchField; }
    TextModeField *gotoField() const { return m_gotoField; }
    FieldLabel *searchLabel() const { return m_searchLabel; }
    FieldLabel *gotoLabel() const { return m_gotoLabel; }
    QLabel *lineDisplay() const { return m_lineDisplay; }

private:
    AdmTextEditor *m_editor;
    TextModeField *m_searchField;
    TextModeField *m_gotoField;
    FieldLabel *m_searchLabel;
    FieldLabel *m_gotoLabel;
    QLabel *m_lineDisplay;
};

} // namespace kova
