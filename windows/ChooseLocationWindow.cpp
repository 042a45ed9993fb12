// The choose-location dialog: an editable list of the session's locations, starting at the current one.
#include "windows/ChooseLocationWindow.h"

#include "inventory/SessionState.h"
#include "windows/DisplayText.h"
#include "windows/Pictures.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace orvelle {

namespace {

// Offers the entries that begin with the typed text, in any letter case, in a list that drops down
// while typing. The completer is not the combo's own: with one of its own that ignores letter case,
// the combo replaces a typed "lab" by the entry "Lab" when editing ends, and the answer must be the
// text as typed.
void AttachCompleter(QComboBox* combo) {
    combo->setCompleter(nullptr);
    auto* completer = new QCompleter(combo->model(), combo);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    QLineEdit* edit = combo->lineEdit();
    completer->setWidget(edit);
    QObject::connect(edit, &QLineEdit::textEdited, completer, [completer](const QString& text) {
        completer->setCompletionPrefix(text);
        if (text.isEmpty() || completer->completionCount() == 0)
            completer->popup()->hide();
        else
            completer->complete();
    });
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), edit, &QLineEdit::setText);
}

} // namespace

TChooseLocationForm::TChooseLocationForm(TSessionState& session, QWidget* parent)
    : TModalForm(parent), FSession(session), FLocationCombo(new QComboBox(this)) {
    setObjectName(QStringLiteral("ChooseLocationForm"));
    setWindowTitle(QStringLiteral("Choose Location"));

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(LocationPicture(32));
    image->setFixedSize(32, 32);

    auto* instruction = new QLabel(
        QStringLiteral("Choose an existing location from the list or enter the name of a new location."),
        this);
    instruction->setObjectName(QStringLiteral("Label1"));
    instruction->setWordWrap(true);
    instruction->setFixedWidth(260);

    FLocationCombo->setObjectName(QStringLiteral("LocationCombo"));
    FLocationCombo->setEditable(true);
    // The dialog only returns the text; adding it to the list is the caller's business.
    FLocationCombo->setInsertPolicy(QComboBox::NoInsert);
    AttachCompleter(FLocationCombo);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* okButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    QPushButton* cancelButton = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(okButton, &QPushButton::clicked, this, &TChooseLocationForm::OKButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(image, 0, 0, Qt::AlignTop);
    layout->addWidget(instruction, 0, 1);
    layout->addWidget(FLocationCombo, 1, 0, 1, 2);
    layout->addWidget(buttons, 2, 0, 1, 2);
    setTabOrder(FLocationCombo, okButton);
    setTabOrder(okButton, cancelButton);
}

void TChooseLocationForm::FormShow() {
    FLocationCombo->clear();
    for (const std::string& location : FSession.LocationList)
        FLocationCombo->addItem(CodePageToQString(location));
    FLocationCombo->setEditText(CodePageToQString(FSession.Location()));
    FLocationCombo->lineEdit()->selectAll();
    FLocationCombo->setFocus();
}

void TChooseLocationForm::OKButtonClick() {
    const QString text = FLocationCombo->currentText();
    if (text.isEmpty()) {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Error"),
            QStringLiteral("Please choose a location from the dropdown list, or enter a new location."),
            QMessageBox::Ok, this);
        box.exec();
        return;
    }
    // Taken as typed: a text of blanks is a location like any other.
    ChosenLocation = QStringToCodePage(text);
    accept();
}

} // namespace orvelle
