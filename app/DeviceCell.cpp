// Cell texts and drawing of the device list.
#include "app/DeviceCell.h"

#include "inventory/Descriptions.h"
#include "inventory/Utils.h"
#include "resources/Images.h"
#include "windows/DisplayText.h"

#include <QPainter>

namespace orvelle {

TDeviceCell DeviceCellOf(const TBTDevice& device, int column) {
    TDeviceCell cell;
    cell.Active = device.IsActive();
    switch (column) {
    case dcName:
        cell.Picture = device.Type;
        cell.Line1 = CodePageToQString(device.Name);
        cell.Line1Bold = true;
        cell.Line2 = CodePageToQString(device.Address);
        break;
    case dcSeen:
        cell.Line1 = CodePageToQString(TimeText(device.FirstSeen));
        cell.Count = QStringLiteral("(%1)").arg(device.SeenCount);
        cell.Line2 = CodePageToQString(TimeText(device.LastSeen));
        break;
    case dcTypeFlags:
        cell.Line1 = CodePageToQString(ClassOfDeviceText(static_cast<std::uint32_t>(device.MajorClass()),
                                                         static_cast<std::uint32_t>(device.MinorClass())));
        cell.Line2 = CodePageToQString(FlagsText(device));
        break;
    case dcLocation:
        cell.Line1 = CodePageToQString(device.Location);
        break;
    default:
        break;
    }
    return cell;
}

TDeviceTreeDelegate::TDeviceTreeDelegate(TDeviceList& list, int addressRole, QObject* parent)
    : QStyledItemDelegate(parent), FList(list), FAddressRole(addressRole) {}

QSize TDeviceTreeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(DeviceRowHeight);
    return size;
}

void TDeviceTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    // The selection is blended over the row, so the text keeps the colours that tell active devices
    // from inactive ones.
    if (option.state & QStyle::State_Selected) {
        QColor highlight = option.palette.color(QPalette::Highlight);
        highlight.setAlpha(option.state & QStyle::State_Active ? 90 : 50);
        painter->fillRect(option.rect, highlight);
    }
    painter->save();
    painter->setClipRect(option.rect);
    DeviceTreeDrawNode(painter, option, option.rect.adjusted(4, 2, -2, -2), index);
    painter->restore();
}

void TDeviceTreeDelegate::DeviceTreeDrawNode(QPainter* painter, const QStyleOptionViewItem& option,
                                             const QRect& content, const QModelIndex& index) const {
    const QByteArray address = index.data(FAddressRole).toByteArray();
    TDeviceCell cell;
    {
        TDeviceListLock lock(FList);
        const TBTDevice* device = FList.FindDevice(std::string_view(address.constData(), address.size()));
        if (!device)
            return;
        cell = DeviceCellOf(*device, index.column());
    }

    QFont font = option.font;
    const int h = QFontMetrics(font).height();
    const int x = content.left();
    const int y = content.top();
    painter->setPen(cell.Active ? option.palette.color(QPalette::Active, QPalette::Text)
                                : option.palette.color(QPalette::Disabled, QPalette::Text));
    const auto write = [&](int left, int top, const QString& text, bool bold) {
        font.setBold(bold);
        painter->setFont(font);
        painter->drawText(QRect(left, top, content.right() - left + 1, h),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        return QFontMetrics(font).horizontalAdvance(text);
    };

    int textLeft = x;
    if (cell.Picture >= 0 && cell.Picture < DeviceImages().size()) {
        DeviceImages()[cell.Picture].paint(painter, QRect(x, y, ImageSize, ImageSize));
        textLeft = x + ImageSize + 4;
    }
    const int width = write(textLeft, y, cell.Line1, cell.Line1Bold);
    if (!cell.Count.isEmpty())
        write(textLeft + width + 8, y, cell.Count, false);
    write(textLeft, y + h, cell.Line2, false);
}

} // namespace orvelle
