// The device list's model and view. Rows never hold record pointers: every paint and every sort
// looks the records up by address under the device list's lock.
#include "app/DeviceListView.h"

#include "app/DeviceCell.h"
#include "bluetooth/sdp/CodePage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace orvelle {

namespace {

constexpr std::array<const char*, dcColumnCount> ColumnTitles{"Name", "First Seen/LastSeen", "Type/Flags",
                                                              "Location"};
constexpr std::array<int, dcColumnCount> ColumnWidths{250, 170, 200, 250};

// One row's key for the sort column, read from its record once per rebuild (the rebuild holds the
// lock throughout, so the records cannot change between comparisons): a number, or for the text
// columns the text's rank in the user's collation order.
struct TSortRow {
    std::int64_t Key = 0;
    int Position = 0;
};

// DeviceTreeCompareNodes over prepared keys.
int DeviceTreeCompareNodes(const TSortRow& row1, const TSortRow& row2) {
    return row1.Key < row2.Key ? -1 : (row1.Key > row2.Key ? 1 : 0);
}

// The rank of each of TEXTS (code-page texts) in the order of the user's locale, case sensitive:
// equal ranks for texts that collate equal. Each distinct text is transformed once (strxfrm, the C
// library's locale-aware collation, which the toolkit set from the environment), so the sort itself
// compares numbers.
std::vector<std::int64_t> CollationRanks(const std::vector<std::string_view>& texts) {
    std::unordered_map<std::string_view, std::size_t> distinct;
    distinct.reserve(texts.size());
    std::vector<std::size_t> textIndex;
    textIndex.reserve(texts.size());
    for (std::string_view text : texts)
        textIndex.push_back(distinct.try_emplace(text, distinct.size()).first->second);

    // The transformed keys, each NUL-terminated, one after the other in one buffer.
    std::string keys;
    std::vector<std::size_t> keyStart(distinct.size());
    std::string utf8;
    for (const auto& [text, index] : distinct) {
        // Plain ASCII needs no conversion, which is what most names and locations are.
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) - 1u < 0x7Fu; });
        if (ascii)
            utf8.assign(text);
        else
            utf8 = CodePageToUtf8(text);
        keyStart[index] = keys.size();
        std::size_t room = utf8.size() + 16;
        for (;;) {
            keys.resize(keyStart[index] + room);
            const std::size_t length = std::strxfrm(keys.data() + keyStart[index], utf8.c_str(), room);
            if (length < room) {
                keys.resize(keyStart[index] + length + 1);
                break;
            }
            room = length + 1;
        }
    }
    const auto key = [&keys, &keyStart](std::size_t index) { return keys.c_str() + keyStart[index]; };
    std::vector<std::size_t> order(distinct.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&key](std::size_t a, std::size_t b) { return std::strcmp(key(a), key(b)) < 0; });
    std::vector<std::int64_t> rankOfText(distinct.size());
    std::int64_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && std::strcmp(key(order[i - 1]), key(order[i])) != 0)
            ++rank;
        rankOfText[order[i]] = rank;
    }
    std::vector<std::int64_t> ranks;
    ranks.reserve(texts.size());
    for (std::size_t index : textIndex)
        ranks.push_back(rankOfText[index]);
    return ranks;
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
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (FHeaderClick)
            FHeaderClick(column);
    });
    header()->viewport()->installEventFilter(this);
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
        std::vector<const TBTDevice*> shown;
        for (int i = 0; i < FList.Count(); ++i) {
            TBTDevice& device = FList.GetDevice(i);
            if (filter.Admits(device)) {
                shown.push_back(&device);
                addresses.push_back(device.Address);
            }
        }
        if (FSortColumn >= 0) {
            std::vector<TSortRow> rows(shown.size());
            if (FSortColumn == dcName || FSortColumn == dcLocation) {
                std::vector<std::string_view> texts;
                texts.reserve(shown.size());
                for (const TBTDevice* device : shown)
                    texts.push_back(FSortColumn == dcName ? device->Name : device->Location);
                const std::vector<std::int64_t> ranks = CollationRanks(texts);
                for (std::size_t i = 0; i < rows.size(); ++i)
                    rows[i].Key = ranks[i];
            } else {
                for (std::size_t i = 0; i < rows.size(); ++i)
                    rows[i].Key = FSortColumn == dcSeen
                                      ? shown[i]->LastSeen
                                      : static_cast<std::int64_t>(shown[i]->MajorClass()) * 65536 +
                                            shown[i]->MinorClass();
            }
            for (std::size_t i = 0; i < rows.size(); ++i)
                rows[i].Position = static_cast<int>(i);
            // Ties keep the list order.
            const bool ascending = FSortDirection == Qt::AscendingOrder;
            std::sort(rows.begin(), rows.end(), [ascending](const TSortRow& a, const TSortRow& b) {
                const int result = DeviceTreeCompareNodes(a, b);
                return result != 0 ? (ascending ? result < 0 : result > 0) : a.Position < b.Position;
            });
            // The addresses are put in order by moving them, which never touches the records again.
            std::vector<std::string> sorted;
            sorted.reserve(rows.size());
            for (const TSortRow& row : rows)
                sorted.push_back(std::move(addresses[static_cast<std::size_t>(row.Position)]));
            addresses = std::move(sorted);
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

bool TDeviceTreeView::eventFilter(QObject* watched, QEvent* event) {
    // The header's own click signal comes for the left button only; a click with another button
    // changes the sort state as well.
    if (watched == header()->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) {
            const int column = header()->logicalIndexAt(mouse->position().toPoint());
            if (event->type() == QEvent::MouseButtonPress) {
                FHeaderPressed = column;
            } else {
                const bool clicked = column >= 0 && column == FHeaderPressed;
                FHeaderPressed = -1;
                if (clicked && FHeaderClick)
                    FHeaderClick(column);
            }
            return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void TDeviceTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && FInspect) {
        FInspect();
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace orvelle
