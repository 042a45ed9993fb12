// Where the user manual is: beside the program in the build tree, or under share/orvelle/ of the
// installation.
#pragma once

#include <QString>

namespace orvelle {

QString ManualPath();

} // namespace orvelle
