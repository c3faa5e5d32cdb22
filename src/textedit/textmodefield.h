#pragma once

#include <QLabel>
#include <QLineEdit>

namespace kova {

// A one-line field of the text page (search, go to line). Enter is consumed and reported by
// enterPressed(); every other key types as usual. On losing the focus the text is trimmed of blanks
// and selected whole, ready to be typed over when the field comes back.
class TextModeField : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextModeField(QWidget *parent = nullptr);

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

// A field's caption; a click on it gives its buddy the focus.
class FieldLabel : public QLabel
{
    Q_OBJECT

public:
    FieldLabel(const QString &text, QWidget *buddy, QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace kova
