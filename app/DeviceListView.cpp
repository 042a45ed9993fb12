// The device list's model and view. Rows never hold record pointers: every paint and every sort
// looks the records up by address under the device list's lock.
#include "app/DeviceListView.h"

#include "app/DeviceCell.h"
#include "windows/DisplayText.h"

#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace orvelle {

namespace {

constexpr std::array<const char*, dcColumnCount> ColumnTitles{"Name", "First Seen/LastSeen", "Type/Flags",
                                                              "Location"};
constexpr std::array<int, dcColumnCount> ColumnWidths{250, 170, 200, 250};

// One row's key for the sort column, read from its record once per rebuild (the rebuild holds the
// lock throughout, so the records cannot change between comparisons).
struct TSortRow {
    std::string Address;
    std::int64_t Number = 0;
    QCollatorSortKey Text;
};

// DeviceTreeCompareNodes over prepared keys: names and locations by the user's locale, case
// sensitive; last seen and the class pair as numbers.
int DeviceTreeCompareNodes(const TSortRow& row1, const TSortRow& row2, int column) {
    if (column == dcName || column == dcLocation)
        return row1.Text.compare(row2.Text);
    return row1.Number < row2.Number ? -1 : (row1.Number > row2.Number ? 1 : 0);
}

// Turns repainting off for its lifetime; declared before the lock so that the list is unlocked
// first and repainting resumes after.
class TUpdatesSuspended {
public:
    explicit TUpdatesSuspended(QWidget* widget) : FWidget(widget) { FWidget->setUpdatesEnabled(false); }
    ~TUpdatesSuspended() { FWidget->setUpdatesEnabled(true); }
    TUpdatesSuspended(const TUpdatesSuspended&) = delete;
    TUpdatesSuspended& operator=(const TUpdatesSuspended&) = delete;

private:
    QWidget* FWidget;
};

} // namespace

int TDeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FAddresses.size());
}

int TDeviceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dcColumnCount;
}

QVariant TDeviceListModel::data(const QModelIndex& index, int role) const {
    if (role != AddressRole || !index.isValid())
        return {};
    const std::string& address = Address(index.row());
    return QByteArray(address.data(), static_cast<qsizetype>(address.size()));
}

QVariant TDeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= dcColumnCount)
        return {};
    return QString::fromLatin1(ColumnTitles[static_cast<std::size_t>(section)]);
}

void TDeviceListModel::SetAddresses(std::vector<std::string> addresses) {
    beginResetModel();
    FAddresses = std::move(addresses);
    endResetModel();
}

TDeviceTreeView::TDeviceTreeView(TDeviceList& list, QWidget* parent)
    : QTreeView(parent), FList(list), FModel(this) {
    setModel(&FModel);
    setItemDelegate(new TDeviceTreeDelegate(list, TDeviceListModel::AddressRole, this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(24, 24));
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    for (int column = 0; column < dcColumnCount; ++column)
        header()->resizeSection(column, ColumnWidths[static_cast<std::size_t>(column)]);
}

void TDeviceTreeView::BuildDeviceList(const TDeviceFilter& filter) {
    const std::string remembered = HasSelection() ? SelectedAddress() : std::string("00");
    const int verticalOffset = verticalScrollBar()->value();
    const int horizontalOffset = horizontalScrollBar()->value();

    std::vector<std::string> addresses;
    {
        TUpdatesSuspended updates(viewport());
        TDeviceListLock lock(FList);
        if (FSortColumn < 0) {
            for (int i = 0; i < FList.Count(); ++i) {
                TBTDevice& device = FList.GetDevice(i);
                if (filter.Admits(device))
                    addresses.push_back(device.Address);
            }
        } else {
            QCollator collator;
            collator.setCaseSensitivity(Qt::CaseSensitive);
            std::vector<TSortRow> rows;
            for (int i = 0; i < FList.Count(); ++i) {
                TBTDevice& device = FList.GetDevice(i);
                if (!filter.Admits(device))
                    continue;
                TSortRow row{device.Address, 0, collator.sortKey(QString())};
                if (FSortColumn == dcName)
                    row.Text = collator.sortKey(CodePageToQString(device.Name));
                else if (FSortColumn == dcLocation)
                    row.Text = collator.sortKey(CodePageToQString(device.Location));
                else if (FSortColumn == dcSeen)
                    row.Number = device.LastSeen;
                else
                    row.Number = static_cast<std::int64_t>(device.MajorClass()) * 65536 + device.MinorClass();
                rows.push_back(std::move(row));
            }
            const int column = FSortColumn;
            const bool ascending = FSortDirection == Qt::AscendingOrder;
            std::stable_sort(rows.begin(), rows.end(),
                             [column, ascending](const TSortRow& a, const TSortRow& b) {
                                 const int result = DeviceTreeCompareNodes(a, b, column);
                                 return ascending ? result < 0 : result > 0;
                             });
            addresses.reserve(rows.size());
            for (TSortRow& row : rows)
                addresses.push_back(std::move(row.Address));
        }
        FModel.SetAddresses(std::move(addresses));
    }

    for (int row = 0; row < FModel.rowCount(); ++row) {
        if (FModel.Address(row) == remembered) {
            const QModelIndex index = FModel.index(row, 0);
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
            break;
        }
    }
    verticalScrollBar()->setValue(verticalOffset);
    horizontalScrollBar()->setValue(horizontalOffset);
}

void TDeviceTreeView::DeviceTreeHeaderClick(int column) {
    if (column != FSortColumn) {
        FSortColumn = column;
        FSortDirection = Qt::AscendingOrder;
    } else if (FSortDirection == Qt::AscendingOrder) {
        FSortDirection = Qt::DescendingOrder;
    } else {
        FSortColumn = -1;
    }
    header()->setSortIndicatorShown(FSortColumn >= 0);
    header()->setSortIndicator(FSortColumn, FSortDirection);
}

std::string TDeviceTreeView::SelectedAddress() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : FModel.Address(rows.first().row());
}

bool TDeviceTreeView::HasSelection() const {
    return selectionModel()->hasSelection();
}

void TDeviceTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (FInspect)
        FInspect();
}

void TDeviceTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && FInspect) {
        FInspect();
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace orvelle
