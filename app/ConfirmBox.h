// The confirmation box of the destructive commands.
#pragma once

#include <QString>

class QWidget;

namespace orvelle {

// Asks QUESTION in a box captioned "Confirm" with the question icon and the buttons "&Yes" (the
// default), "&No" and "Cancel" (which Esc answers). True only for "&Yes".
bool Confirm(QWidget* parent, const QString& question);

} // namespace orvelle
