#pragma once

#include "editorcontext.h"

#include "forms/editorkind.h"
#include "forms/fieldrules.h"

#include <QWidget>

#include <optional>

class QCheckBox;
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

    struct Composition
    {
        std::optional<FieldError> error;
        QString text;
        QString caption;
    };
    // The fields as "Ok" would compose them, checked but with no message and no focus move: what is
    // kept of an open page when the editor is ended.
    Composition composition() const { return compose(); }

protected:
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

    // Keyname with its "Select" and, when asked for, Value name with its "Select" and the "(Default)"
    // box: rows of the page's form, with the pickers' glue and the (Default) box's reaction.
    struct KeyFields
    {
        EditorField *keyname = nullptr;
        QPushButton *keySelect = nullptr;
        EditorField *valueName = nullptr;
        QPushButton *valueSelect = nullptr;
        QCheckBox *defaultName = nullptr;
        // In visual order, for the tab chain.
        QList<QWidget *> widgets() const;
    };
    const KeyFields &addKeyFields(bool withValueName);
    const KeyFields &keyFields() const { return m_keys; }
    // The loader's part: the texts set, the fields enabled, and the (Default) box set or cleared
    // when the node says (left as it was otherwise).
    void showKeyFields(const QString &keyname, const QString &valueName, std::optional<bool> defaultName);
    // The key a node without its own inherits: the active key display's text.
    QString inheritedKey() const;

    // Keyboard focus follows the fields' visual order: widgets in order, then "Ok" and "Cancel".
    void setTabChain(const QList<QWidget *> &widgets);
    // Whether the refusal to close while an item editor is active was shown.
    bool refuseWhileItemEditor();
    void showFieldError(const FieldError &error);

private:
    void pickKey();
    void pickValue();

    EditorKind m_kind;
    EditorContext &m_context;
    QLabel *m_heading;
    QFormLayout *m_form;
    QVBoxLayout *m_body;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QList<std::pair<QPushButton *, Picker>> m_selectButtons;
    KeyFields m_keys;
};

} // namespace kova
