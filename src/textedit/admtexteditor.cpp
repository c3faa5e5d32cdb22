#include "admtexteditor.h"

#include "admhighlighter.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace kova {

namespace {

// The strip left of the text that shows the line numbers; the editor paints it.
class LineNumberGutter : public QWidget
{
public:
    explicit LineNumberGutter(AdmTextEditor *editor) : QWidget(editor), m_editor(editor)
    {
        setObjectName(QStringLiteral("lineNumberGutter"));
    }

    QSize sizeHint() const override { return {m_editor->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_editor->paintGutter(event); }

private:
    AdmTextEditor *m_editor;
};

constexpr int kGutterPadding = 4;

} // namespace

AdmTextEditor::AdmTextEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("textEditor"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(u' '));
    m_gutter = new LineNumberGutter(this);
    m_highlighter = new AdmHighlighter(document());

    connect(this, &QPlainTextEdit::blockCountChanged, this, &AdmTextEditor::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &AdmTextEditor::updateGutter);
    // The gutter marks the caret's line.
    connect(this, &QPlainTextEdit::cursorPositionChanged, m_gutter, qOverload<>(&QWidget::update));
    updateGutterWidth();
}

int AdmTextEditor::gutterWidth() const
{
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10)
        ++digits;
    return 2 * kGutterPadding + digits * fontMetrics().horizontalAdvance(u'9');
}

void AdmTextEditor::updateGutterWidth()
{
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

void AdmTextEditor::updateGutter(const QRect &rect, int dy)
{
    if (dy != 0)
        m_gutter->scroll(0, dy);
    else
        m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateGutterWidth();
}

void AdmTextEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_gutter->setGeometry(QRect(area.left(), area.top(), gutterWidth(), area.height()));
}

void AdmTextEditor::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setTabStopDistance(4 * fontMetrics().horizontalAdvance(u' '));
        updateGutterWidth();
    }
}

void AdmTextEditor::paintGutter(QPaintEvent *event)
{
    QPainter painter(m_gutter);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setFont(font());
    const int current = textCursor().blockNumber();

    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + qRound(blockBoundingRect(block).height());
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top()) {
            const bool here = block.blockNumber() == current;
            painter.setPen(palette().color(here ? QPalette::Text : QPalette::PlaceholderText));
            painter.drawText(0, top, m_gutter->width() - kGutterPadding, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + qRound(blockBoundingRect(block).height());
    }
}

} // namespace kova
