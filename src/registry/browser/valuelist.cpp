#include "valuelist.h"

#include "registryimages.h"
#include "registryreader.h"
#include "registrytree.h"

#include "registry/core/registrybackend.h"

#include <QEvent>
#include <QHeaderView>
#include <QProgressBar>
#include <QTreeWidget>

namespace kova {

namespace {

// The margin the data column leaves at the list's right edge.
constexpr int kRightMargin = 44;
constexpr int kShownBytes = 256;

// Rows sort by the text of the sorted column without regard to case.
class ValueItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int c = text(column).compare(other.text(column), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text(column) < other.text(column);
    }
};

QString hexBytes(const QByteArray &bytes)
{
    const QByteArray shown = bytes.left(kShownBytes);
    QString out;
    out.reserve(shown.size() * 3);
    static const char digits[] = "0123456789ABCDEF";
    for (char c : shown) {
        const auto b = uchar(c);
        out += QLatin1Char(digits[b >> 4]);
        out += QLatin1Char(digits[b & 15]);
        out += u' ';
    }
    return out;
}

} // namespace

const QString ValueList::DefaultName = QStringLiteral("(Default)");

ValueRowData describeValue(const QVariant &value, qint32 type)
{
    if (!value.isValid()) // gone between listing and reading: shown as an empty text
        return {QStringLiteral("\"\""), QStringLiteral("standaard"), QStringLiteral("0")};
    switch (type) {
    case RegType::String: return {u'"' + value.toString() + u'"', QStringLiteral("standaard"), QStringLiteral("0")};
    case RegType::Binary: return {hexBytes(value.toByteArray()), QStringLiteral("binair"), QStringLiteral("2")};
    default: break;
    }
    // Other types read as numbers or texts show as such; the rest arrive as bytes, shown like binary.
    const QString text = value.typeId() == QMetaType::QByteArray ? hexBytes(value.toByteArray()) : value.toString();
    return {text, QStringLiteral("binair"), QStringLiteral("1")};
}

ValueList::ValueList(QTreeWidget *list, RegistryReader &reader, const RegistryImages &images, QProgressBar *bar,
                     QObject *parent)
    : QObject(parent), m_list(list), m_reader(reader), m_images(images), m_bar(bar)
{
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setStretchLastSection(false);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &ValueList::SortValueList);
    m_list->viewport()->installEventFilter(this);
}

void ValueList::setUpColumns()
{
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Value name"), QStringLiteral("Value data")});
    m_list->setColumnWidth(0, 180);
    fitDataColumn();
}

void ValueList::fitDataColumn()
{
    if (m_list->columnCount() < 2)
        return;
    m_list->setColumnWidth(1, std::max(60, m_list->viewport()->width() - m_list->columnWidth(0) - kRightMargin));
}

bool ValueList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        fitDataColumn();
    return QObject::eventFilter(watched, event);
}

void ValueList::clear()
{
    m_list->clear();
}

void ValueList::fill(qint32 hive, const QString &section)
{
    const WaitCursor wait;
    m_list->clear();
    const QStringList names = m_reader.values(hive, section);
    const int n = int(names.size());
    ReadProgress progress(n >= 1 ? m_bar : nullptr, n);
    bool hasDefault = false;
    QList<QTreeWidgetItem *> rows;
    rows.reserve(n + 1);
    for (int i = 1; i <= n; ++i) {
        progress.step(n - i);
        const QString &name = names.at(i - 1);
        auto *row = new ValueItem;
        if (name.isEmpty()) {
            row->setText(0, DefaultName);
            hasDefault = true;
        } else {
            row->setText(0, name);
        }
        const RegistryReader::ReadValue read = m_reader.value(hive, section, name);
        const ValueRowData shown = describeValue(read.value, read.type);
        row->setText(1, shown.data);
        row->setIcon(0, m_images.icon(shown.image));
        row->setData(0, ImageRole, shown.image);
        row->setData(0, TagRole, shown.tag);
        rows.append(row);
    }
    if (!hasDefault) {
        auto *row = new ValueItem(QStringList{DefaultName, QStringLiteral("\"\"")});
        row->setIcon(0, m_images.icon(QStringLiteral("standaard")));
        row->setData(0, ImageRole, QStringLiteral("standaard"));
        row->setData(0, TagRole, QStringLiteral("0"));
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
    sortBy(0, Qt::AscendingOrder);
    m_list->headerItem()->setData(0, TagRole, QStringLiteral("ASC"));
}

QString ValueList::sortTag(int column) const
{
    return m_list->headerItem()->data(column, TagRole).toString();
}

void ValueList::sortBy(int column, Qt::SortOrder order)
{
    m_list->sortItems(column, order);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(column, order);
}

void ValueList::SortValueList(int column)
{
    if (column < 0 || column >= m_list->columnCount())
        return;
    for (int c = 0; c < m_list->columnCount(); ++c)
        if (c != column)
            m_list->headerItem()->setData(c, TagRole, QString());
    const bool descending = sortTag(column) == u"ASC";
    m_list->headerItem()->setData(column, TagRole, descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    sortBy(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace kova
