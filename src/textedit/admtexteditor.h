#pragma once

#include <QPlainTextEdit>

namespace kova {

class AdmHighlighter;

// The plain-text editor of text mode: one paragraph per template line, no wrapping, TAB stops four
// blanks wide, a fixed-pitch font, a line-number gutter on the left and ADM syntax colouring. The
// gutter and the colouring only paint; they never change the text or its line count.
class AdmTextEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit AdmTextEditor(QWidget *parent = nullptr);

    // Width the gutter needs for the current number of lines.
    int gutterWidth() const;
    QWidget *gutter() const { return m_gutter; }
    AdmHighlighter *highlighter() const { return m_highlighter; }

    // Called by the gutter widget.
    void paintGutter(QPaintEvent *event);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateGutterWidth();
    void updateGutter(const QRect &rect, int dy);

    QWidget *m_gutter = nullptr;
    AdmHighlighter *m_highlighter = nullptr;
};

} // namespace kova
