// A critical message box under the application's title.
#include "app/ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>

namespace orvelle {

void ShowException(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace orvelle
