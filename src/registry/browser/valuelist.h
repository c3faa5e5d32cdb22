#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace kova {

class RegistryImages;
class RegistryReader;

// What one value shows: the data column, the picture's name and the row tag ("0" string, "1" other,
// "2" binary).
struct ValueRowData
{
    QString data;
    QString image;
    QString tag;
};
ValueRowData describeValue(const QVariant &value, qint32 type);

// The value list rules the browser and the value picker share: the columns "Value name" and
// "Value data", one row per value with "(Default)" for the default value (added with data "" when
// the key has none), and sorting by a clicked column with its "ASC"/"DESC" tag. Each row keeps its
// tag under TagRole and its picture's name under ImageRole.
class ValueList : public QObject
{
    Q_OBJECT

public:
    static constexpr int TagRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;
    static const QString DefaultName; // "(Default)"

    // bar may be null. Header clicks run SortValueList.
    ValueList(QTreeWidget *list, RegistryReader &reader, const RegistryImages &images, QProgressBar *bar,
              QObject *parent = nullptr);

    // The two columns and the report view.
    void setUpColumns();
    // Empties the list, then a row per value of the key, the added "(Default)" row, sorted by name.
    void fill(qint32 hive, const QString &section);
    void clear();
    void SortValueList(int column);
    QString sortTag(int column) const;
    // The data column takes what the name column and a small margin leave.
    void fitDataColumn();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sortBy(int column, Qt::SortOrder order);

    QTreeWidget *m_list;
    RegistryReader &m_reader;
    const RegistryImages &m_images;
    QProgressBar *m_bar;
};

} // namespace kova
