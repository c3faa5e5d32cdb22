#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kova {

class clsReg;
class RegistryImages;
class RegistryReader;
class RegistryTree;
class ValueList;

// Where the browser learns the key in effect for the selected template node.
class ActiveKeySource
{
public:
    virtual ~ActiveKeySource() = default;
    virtual QString activeKeyText() const = 0;
};

// The "&Registry" page: the machine and user hives as a tree of keys (TreeReg), the values of the
// selected key (ListReg), a progress bar (PB10), the path of the key shown (Label10) and "Refresh"
// (Command10). It only reads the registry. A store that cannot be read leaves its hive empty and
// says so once in a line on the page.
class RegistryBrowser : public QWidget
{
    Q_OBJECT

public:
    RegistryBrowser(clsReg &reg, const ActiveKeySource &activeKey, const RegistryImages &images,
                    QWidget *parent = nullptr);
    ~RegistryBrowser() override;

    QTreeWidget *TreeReg() const { return m_treeReg; }
    QTreeWidget *ListReg() const { return m_listReg; }
    QProgressBar *PB10() const { return m_pb10; }
    QLabel *Label10() const { return m_label10; }
    QPushButton *Command10() const { return m_command10; }
    QLabel *problemLine() const { return m_problems; }
    RegistryTree &tree() const { return *m_tree; }
    ValueList &values() const { return *m_values; }

    // Rebuilds both hives and walks back to the key shown before.
    void RefreshRegistryBrowser();
    // Walks to the active key; reset walks even when the browser already shows it.
    void GotoRegistryKey(bool reset);
    void ShowKeyValues(QTreeWidgetItem *node);
    // The selected node's path from its hive down ("HKEY_LOCAL_MACHINE\SOFTWARE\Policies"); "" for none.
    QString RegistryNodePath() const;

    // The page was switched to (walks to the active key and takes the focus) or left.
    void pageEntered();
    void pageLeft();

private:
    void walkTo(const QString &target);
    void showProblem(const QString &description);

    const ActiveKeySource &m_activeKey;
    RegistryReader *m_reader;
    QTreeWidget *m_treeReg;
    QTreeWidget *m_listReg;
    QProgressBar *m_pb10;
    QLabel *m_label10;
    QPushButton *m_command10;
    QLabel *m_problems;
    RegistryTree *m_tree;
    ValueList *m_values;
    bool m_columnsSet = false;
    // The last walk: its target and the path it ended on. A target that does not exist ends the walk
    // above it, so the path alone cannot tell that the walk is already done.
    QString m_walkedTarget;
    QString m_walkedTo;
};

} // namespace kova
