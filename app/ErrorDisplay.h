// The application's error display: the box that shows a failure's message.
#pragma once

#include <QString>

class QWidget;

namespace orvelle {

void ShowException(QWidget* parent, const QString& message);

} // namespace orvelle
