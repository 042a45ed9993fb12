// The owner-drawn cells of the device list: what each cell shows (TDeviceCell) and the delegate that
// draws it (DeviceTreeDrawNode) and gives every row its height (DeviceTreeMeasureItem).
#pragma once

#include "inventory/DeviceList.h"

#include <QString>
#include <QStyledItemDelegate>

namespace orvelle {

// Column indexes of the device list; a column keeps its index when it is dragged elsewhere.
enum TDeviceColumn { dcName, dcSeen, dcTypeFlags, dcLocation, dcColumnCount };

struct TDeviceCell {
    // Active devices are drawn in the window-text colour, the others in the grey-text colour.
    bool Active = true;
    // The device-type picture (column 0 only), -1 for none.
    int Picture = -1;
    QString Line1;
    // Column 0 writes Line1 in bold.
    bool Line1Bold = false;
    // Column 1: the seen count "(n)", written 8 pixels after Line1.
    QString Count;
    QString Line2;
};

// The texts of COLUMN for DEVICE. The caller holds the device list's lock.
TDeviceCell DeviceCellOf(const TBTDevice& device, int column);

// Row height: the pictures' height plus 8.
inline constexpr int DeviceRowHeight = 32;

class TDeviceTreeDelegate : public QStyledItemDelegate {
public:
    // ADDRESSROLE is the model's data role that holds a row's address text.
    TDeviceTreeDelegate(TDeviceList& list, int addressRole, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Draws the cell's content into CONTENT, looking the device up under the lock; a device that
    // has gone draws nothing.
    void DeviceTreeDrawNode(QPainter* painter, const QStyleOptionViewItem& option, const QRect& content,
                            const QModelIndex& index) const;

    TDeviceList& FList;
    int FAddressRole;
};

} // namespace orvelle
