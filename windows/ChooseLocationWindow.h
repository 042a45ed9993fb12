// The choose-location dialog (TChooseLocationForm): asks for one of the session's locations or a new
// location name, and only returns the answer.
#pragma once

#include "windows/ModalForm.h"

#include <string>

class QComboBox;

namespace orvelle {

class TSessionState;

class TChooseLocationForm : public TModalForm {
    Q_OBJECT

public:
    explicit TChooseLocationForm(TSessionState& session, QWidget* parent = nullptr);

    // The location entered, set when the dialog closes with OK; after Cancel it keeps what it held.
    std::string ChosenLocation;

    // Fills the list with the session's locations and starts at the session's current location.
    void FormShow() override;

    // Takes a non-empty text as the answer and closes with OK; refuses an empty one and stays open.
    void OKButtonClick();

private:
    TSessionState& FSession;
    QComboBox* FLocationCombo;
};

} // namespace orvelle
