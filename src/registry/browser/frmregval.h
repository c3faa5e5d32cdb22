#pragma once

#include "forms/pickers.h"

#include <QDialog>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace kova {

class clsReg;
class ModalRunner;
class RegistryImages;
class RegistryReader;
class ValueList;

// "Select value name/value": the values of one key (ValueNames); answers the chosen value's name,
// "(Default)" for the default value. A right click or Ctrl+Alt+M on a selected row opens CopyMenu,
// whose Copy2Clipboard puts the row's data on the clipboard without its quotes.
class frmRegVal : public QDialog
{
    Q_OBJECT

public:
    frmRegVal(clsReg &reg, const RegistryImages &images, QWidget *edge);
    ~frmRegVal() override;

    void setRegistryClass(const QString &hive) { m_class = hive; }
    void setRegistryKeyName(const QString &key) { m_key = key; }
    // The value to preselect; empty preselects the default value.
    void setRegistryValueName(const QString &name) { m_preselect = name; }
    // Fills the window, runs it through runner and returns the selected row's name, or "" when the
    // user cancels.
    QString RegistryValueName(ModalRunner &runner);

    QTreeWidget *ValueNames() const { return m_valueNames; }
    ValueList &values() const { return *m_values; }
    QMenu *CopyMenu() const { return m_copyMenu; }
    QAction *Copy2Clipboard() const { return m_copy; }
    QPushButton *selectButton() const { return m_select; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *problemLine() const { return m_problems; }

    // Opens CopyMenu at pos (in the list's coordinates) when a row is selected.
    void openCopyMenu(const QPoint &pos);

private:
    void fill();

    RegistryReader *m_reader;
    QWidget *m_edge;
    QTreeWidget *m_valueNames;
    QPushButton *m_select;
    QPushButton *m_cancel;
    QLabel *m_problems;
    QMenu *m_copyMenu;
    QAction *m_copy;
    ValueList *m_values;
    QString m_class;
    QString m_key;
    QString m_preselect;
    QString m_answer;
};

// The value picker of the node pages: a new frmRegVal for every pick.
class RegistryValuePicker : public ValuePicker
{
public:
    RegistryValuePicker(clsReg &reg, const RegistryImages &images, QWidget *edge, ModalRunner &runner)
        : m_reg(reg), m_images(images), m_edge(edge), m_runner(runner)
    {}
    QString pickValue(const QString &root, const QString &preselect, const QString &key) override;

private:
    clsReg &m_reg;
    const RegistryImages &m_images;
    QWidget *m_edge;
    ModalRunner &m_runner;
};

} // namespace kova
