#pragma once

#include "editorcontext.h"

#include "editors/core/editorkind.h"
#include "editors/core/fieldrules.h"

#include <QWidget>

#include <optional>

class QFormLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kova {

class EditorField;

// The frame of a node page: a heading that names the node, the page's fields in a scroll area (so a
// small screen scrolls rather than clips), and "Ok" and "Cancel". Enter and Esc act on them while
// the page has the focus. A page supplies its loader and composer; the frame runs the commit: the
// page's first validation failure moves the focus and shows its message, a clean composition is
// stored in the node through the session, which closes the page.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    EditorPage(EditorKind kind, EditorContext &context, QWidget *parent = nullptr);

    EditorKind kind() const { return m_kind; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // The loader: fills the fields from the node's lines and puts the focus into the first field.
    void open(const QStringList &editLines, const QString &nodeCaption);
    // "Ok" and "Cancel".
    void ok();
    void cancel();
    // The session closed the page (committed or cancelled).
    virtual void pageClosed() {}
    // Once the page shows: the focus goes into its first field.
    void focusFirstField();

protected:
    struct Composition
    {
        std::optional<FieldError> error;
        QString text;
        QString caption;
    };

    virtual void load(const QStringList &editLines) = 0;
    virtual Composition compose() const = 0;
    virtual QWidget *fieldWidget(int field) const = 0;
    // While an item editor is active the page can be neither committed nor cancelled.
    virtual bool itemEditorActive() const { return false; }
    // Enter and Esc inside an active item editor act on its "Update" and "No Update".
    virtual bool itemEditorAccept() { return false; }
    virtual bool itemEditorEscape() { return false; }
    // Whether "Ok" refreshes the active key display (the Text page's does not).
    virtual bool refreshesActiveKey() const { return true; }

    EditorContext &context() const { return m_context; }
    QFormLayout *form() const { return m_form; }
    QVBoxLayout *body() const { return m_body; }
    // A text field with its caption (the caption's mnemonic leads to it) and an optional widget
    // beside it.
    EditorField *addField(const QString &caption, const QString &name, QWidget *beside = nullptr);
    EditorField *makeField(const QString &name);
    // A "Select" button for the key or the value picker; it is enabled at each opening of the page
    // when that picker is there to run.
    enum class Picker { Key, Value };
    QPushButton *makeSelectButton(const QString &name, Picker picker);

    // Keyboard focus follows the fields' visual order: widgets in order, then "Ok" and "Cancel".
    void setTabChain(const QList<QWidget *> &widgets);
    // Whether the refusal to close while an item editor is active was shown.
    bool refuseWhileItemEditor();
    void showFieldError(const FieldError &error);

private:
    EditorKind m_kind;
    EditorContext &m_context;
    QLabel *m_heading;
    QFormLayout *m_form;
    QVBoxLayout *m_body;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QList<std::pair<QPushButton *, Picker>> m_selectButtons;
};

} // namespace kova
