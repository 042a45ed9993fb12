// The common behaviour of the program's modal windows.
#include "windows/ModalForm.h"

#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QPushButton>

namespace orvelle {

TModalForm::TModalForm(QWidget* parent) : QDialog(parent) {
    setModal(true);
}

int TModalForm::exec() {
    FormShow();
    // Centre on the main window at every showing, also after the operator moved the window last time.
    // The size must be final before Qt places the window, so the layout takes the style's sizes first.
    setAttribute(Qt::WA_Moved, false);
    ensurePolished();
    if (layout() != nullptr)
        layout()->activate();
    adjustSize();
    return QDialog::exec();
}

QLabel* TModalForm::NewFieldLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setForegroundRole(QPalette::Highlight);
    return label;
}

QLabel* TModalForm::NewValueLabel(const char* objectName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* TModalForm::NewCloseButton(const char* objectName) {
    auto* button = new QPushButton(QStringLiteral("Close"), this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

} // namespace orvelle
