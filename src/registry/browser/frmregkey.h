#pragma once

#include "forms/pickers.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kova {

class clsReg;
class ModalRunner;
class RegistryImages;
class RegistryReader;
class RegistryTree;

// "Select key name": one hive as a tree of keys (KeyNames), opened at a key below it; answers the
// chosen key's path below the hive.
class frmRegKey : public QDialog
{
    Q_OBJECT

public:
    // edge: the window the picker is placed beside (may be null).
    frmRegKey(clsReg &reg, const RegistryImages &images, QWidget *edge);
    ~frmRegKey() override;

    // "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER": the one hive shown.
    void setRegistryClass(const QString &hive) { m_class = hive; }
    // The key to open at, below the hive ("Software\Policies\X"); may be empty.
    void setRegistryKey(const QString &key) { m_key = key; }
    // Fills the window, runs it through runner and returns the chosen key path (no hive name, no
    // leading "\"); "" when the user cancels or chooses the hive itself.
    QString GetSectionClassKey(ModalRunner &runner);

    QTreeWidget *KeyNames() const { return m_keyNames; }
    QPushButton *selectButton() const { return m_select; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *problemLine() const { return m_problems; }
    // The answer "Select" gives for item.
    static QString keyPathOf(const QTreeWidgetItem *item);

private:
    void fill();

    RegistryReader *m_reader;
    QWidget *m_edge;
    QTreeWidget *m_keyNames;
    QPushButton *m_select;
    QPushButton *m_cancel;
    QLabel *m_problems;
    RegistryTree *m_tree;
    QString m_class;
    QString m_key;
    QString m_answer;
};

// The key picker of the node pages: a new frmRegKey for every pick.
class RegistryKeyPicker : public KeyPicker
{
public:
    RegistryKeyPicker(clsReg &reg, const RegistryImages &images, QWidget *edge, ModalRunner &runner)
        : m_reg(reg), m_images(images), m_edge(edge), m_runner(runner)
    {}
    QString pickKey(const QString &root, const QString &startKey) override;

private:
    clsReg &m_reg;
    const RegistryImages &m_images;
    QWidget *m_edge;
    ModalRunner &m_runner;
};

// Puts a picker beside window's right edge, or over it where the screen ends.
void placeAtEdge(QWidget *picker, const QWidget *window);

// What both pickers share: list over the store's problems (hidden until the reader finds one) over
// Select and Cancel, at size. Select is the default button and a double click on the list selects;
// Cancel clears answer and closes.
void setUpPicker(QDialog &picker, QTreeWidget &list, QLabel &problems, QPushButton &select, QPushButton &cancel,
                 const RegistryReader &reader, QString &answer, QSize size);

} // namespace kova
