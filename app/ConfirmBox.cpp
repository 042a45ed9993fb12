// The confirmation box, built from a message box with the three buttons named as the program names
// them.
#include "app/ConfirmBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace orvelle {

bool Confirm(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question, QMessageBox::NoButton,
                    parent);
    box.setObjectName(QStringLiteral("ConfirmBox"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace orvelle
