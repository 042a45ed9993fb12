// The about window (TAboutForm) and the version text it shows, read from the running program's own
// file at every showing.
#pragma once

#include "windows/ModalForm.h"

#include <string>

class QLabel;

namespace orvelle {

// The running program's version as "major.minor.release", with " Beta" for a pre-release build; the
// empty text when the program file carries no version.
std::string GetVersionText();

class TAboutForm : public TModalForm {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Sets the version label to "Version: " and the version text.
    void FormShow() override;

private:
    QLabel* FVersion;
};

} // namespace orvelle
