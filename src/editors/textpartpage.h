#pragma once

#include "editorpage.h"
#include "listcommands.h"

#include "forms/textpartform.h"

class QCheckBox;
class QGroupBox;
class QListWidget;
class QMenu;
class QToolButton;

namespace kova {

// The "Co&mbobox" and "&Edittext" pages: a text value with its default, length and flags; the
// Combobox page adds the suggestion list with its entry field ("Browsing" while the list can be
// used, "Editing" while one suggestion is typed).
class TextPartPage : public EditorPage, public ListCommands
{
    Q_OBJECT

public:
    TextPartPage(TextPartForm::Kind kind, EditorContext &context, QWidget *parent = nullptr);

    QListWidget *suggestions() const { return m_suggestions; }
    QMenu *suggestionMenu() const { return m_menu; }
    bool isEditingSuggestion() const;
    void pageClosed() override;

    // The suggestion list's commands.
    void editEntry() override;
    void addEntry() override;
    void deleteEntry() override;
    void moveEntry(int direction) override;
    void openMenu(const QPoint &globalPos) override;
    void updateSuggestion();
    void noUpdateSuggestion();

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;
    bool itemEditorActive() const override { return isEditingSuggestion(); }
    bool itemEditorAccept() override;
    bool itemEditorEscape() override;

private:
    QWidget *makeSuggestionFrame();
    void browse();

    TextPartForm::Kind m_kind;
    EditorField *m_description;
    EditorField *m_default;
    EditorField *m_maxLength;
    QCheckBox *m_required;
    QCheckBox *m_expandable;
    QCheckBox *m_oemConvert;
    // The Combobox page's suggestions; null on the Edittext page.
    QGroupBox *m_frame = nullptr;
    QListWidget *m_suggestions = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QCheckBox *m_noSort = nullptr;
    EditorField *m_entry = nullptr;
    QPushButton *m_update = nullptr;
    QPushButton *m_noUpdate = nullptr;
    QMenu *m_menu = nullptr;
};

} // namespace kova
