// The program's pictures: one per device type, the two tab pictures and the program icon. They are
// drawn as SVG, so they stay sharp at any device pixel ratio.
#pragma once

#include <QIcon>
#include <QList>

namespace orvelle {

// The pictures' size in device-independent pixels.
inline constexpr int ImageSize = 24;

// One picture per TDeviceType, in the order of the enumeration; the first (dtOther) is a Bluetooth
// mark. Valid once the application object exists.
const QList<QIcon>& DeviceImages();

// The "Network" tab's picture (index 0) and the "Log" tab's (index 1).
const QList<QIcon>& TabImages();

QIcon ProgramIcon();

} // namespace orvelle
