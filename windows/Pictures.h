// The small pictures of the secondary windows, drawn in code so that they scale to any size.
#pragma once

#include <QPixmap>

namespace orvelle {

// A location pin, SIZE pixels square on a transparent ground: the choose-location dialog's picture
// and the device details window's location button.
QPixmap LocationPicture(int size);

} // namespace orvelle
