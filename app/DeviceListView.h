// The device list view: a flat model whose rows hold device addresses only (TDeviceListModel), and
// the tree view that shows it with its sort cycle, kept selection and inspect gestures
// (TDeviceTreeView).
#pragma once

#include "app/DeviceFilter.h"
#include "inventory/DeviceList.h"

#include <QAbstractTableModel>
#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

namespace orvelle {

class TDeviceListModel : public QAbstractTableModel {
public:
    // The data role that gives a row's address text (code-page bytes) as a QByteArray.
    static constexpr int AddressRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces all rows in one reset.
    void SetAddresses(std::vector<std::string> addresses);
    const std::string& Address(int row) const { return FAddresses[static_cast<std::size_t>(row)]; }

private:
    std::vector<std::string> FAddresses;
};

class TDeviceTreeView : public QTreeView {
public:
    TDeviceTreeView(TDeviceList& list, QWidget* parent);

    // Rebuilds all rows from the devices that FILTER admits, in the device list's order or sorted by
    // the sort column; keeps the selected device selected when it is still shown, and the scroll
    // position. Holds the device list's lock for the whole rebuild.
    void BuildDeviceList(const TDeviceFilter& filter);

    // Changes the sort state for a click on COLUMN: ascending, then descending, then unsorted. The
    // caller rebuilds the list afterwards.
    void DeviceTreeHeaderClick(int column);
    int SortColumn() const { return FSortColumn; }
    Qt::SortOrder SortDirection() const { return FSortDirection; }

    // The address of the selected row, or the empty text when no row is selected.
    std::string SelectedAddress() const;
    bool HasSelection() const;
    TDeviceListModel& Model() { return FModel; }

    // Run for a double click anywhere in the view and for the Enter key: the inspect command.
    void SetInspect(std::function<void()> inspect) { FInspect = std::move(inspect); }
    // Run with the column's index for a click on a column header with any mouse button.
    void SetHeaderClick(std::function<void(int)> headerClick) { FHeaderClick = std::move(headerClick); }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDeviceList& FList;
    TDeviceListModel FModel;
    int FSortColumn = -1;
    Qt::SortOrder FSortDirection = Qt::AscendingOrder;
    std::function<void()> FInspect;
    std::function<void(int)> FHeaderClick;
    // The column under the last press of a button other than the left one, -1 for none; the header
    // reports left clicks itself.
    int FHeaderPressed = -1;
};

} // namespace orvelle
