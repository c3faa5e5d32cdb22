#pragma once

#include "listcommands.h"

#include "forms/actionlist.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QToolButton;

namespace kova {

class EditorField;
struct EditorContext;

// The two action lists of the Policy and CheckBox pages: the "Action lis ON" and "Action lis OFF"
// boxes with their "Edit" buttons, the list frame that shows one list at a time with its arrow
// buttons, the item editor below it, and the item menu. The item editor is the page's nested
// state: while it is active the lists cannot be changed otherwise and the page cannot close.
class ActionListEditor : public QWidget, public ListCommands
{
    Q_OBJECT

public:
    using MenuOn = ListKeys::MenuOn;

    ActionListEditor(EditorContext &context, NumericItemValue numericItems, MenuOn menuOn, QWidget *parent = nullptr);

    // The page's Keyname field: the item pickers fall back on it.
    void setKeyField(QLineEdit *keyField) { m_keyField = keyField; }

    // The loader's part: empty lists, boxes cleared, everything but the boxes disabled.
    void reset();
    // Then the lists and boxes of the node, and the list to show.
    void load(bool onSet, bool offSet, const QStringList &onItems, const QStringList &offItems);
    // The page closed: the list frame, the lists and the arrows are disabled.
    void deactivate();

    bool listOn() const;
    bool listOff() const;
    QStringList items(int list) const;
    bool itemEditorActive() const;
    QCheckBox *onBox() const { return m_boxes[0]; }
    QCheckBox *offBox() const { return m_boxes[1]; }
    QListWidget *list(int which) const { return m_lists[which]; }
    QMenu *itemMenu() const { return m_menu; }
    // The editor's widgets in their visual order, for the page's tab order.
    QList<QWidget *> tabChain() const;

    // The operations of the buttons, the item menu and the list keys.
    void ShowActionList(int which);
    void OpenItemEditor();
    bool update();
    void noUpdate();
    void editEntry() override;
    void addEntry() override;
    void deleteEntry() override;
    void moveEntry(int direction) override;
    void openMenu(const QPoint &globalPos) override;
    void selectItemName();

private:
    void nameWidgets();
    QLayout *makeBoxRow();
    QWidget *makeListFrame(MenuOn menuOn);
    QWidget *makeItemEditor();
    void connectReactions();
    QListWidget *listOnShow() const;
    void setItemEditorEnabled(bool enabled);
    void leaveItemEditor();
    void applyOption();
    ActionItemForm itemForm() const;
    QString root() const;

    EditorContext &m_context;
    NumericItemValue m_numericItems;
    QLineEdit *m_keyField = nullptr;

    QCheckBox *m_boxes[2];
    QPushButton *m_edit[2];
    QGroupBox *m_frame;
    QStackedLayout *m_stack;
    QListWidget *m_lists[2];
    QToolButton *m_up;
    QToolButton *m_down;
    QGroupBox *m_itemFrame;
    QRadioButton *m_optKey;
    QRadioButton *m_optValue;
    EditorField *m_name;
    EditorField *m_value;
    QPushButton *m_itemSelect;
    QCheckBox *m_delete;
    QCheckBox *m_numeric;
    QCheckBox *m_default;
    QPushButton *m_update;
    QPushButton *m_noUpdate;
    QMenu *m_menu;
};

} // namespace kova
