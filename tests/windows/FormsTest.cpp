// What the four windows share: the caption, modal showing centred on the main window at every
// showing (also after the operator moved it), and Enter and Esc on the default and cancel buttons.
#include "FakePlatform.h"
#include "ModalHelpers.h"
#include "inventory/SessionState.h"
#include "windows/AboutWindow.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DeviceDetailsWindow.h"
#include "windows/RadioInfoWindow.h"

#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace orvelle {
namespace {

using test::PressKey;
using test::WhenModal;

struct TFormCase {
    const char* Title;
    QString Caption;
    // The result of Enter: the choose-location dialog accepts its text, the others close as Cancel.
    int EnterResult;
};

void PrintTo(const TFormCase& form, std::ostream* out) {
    *out << form.Title;
}

class FormsTest : public testing::TestWithParam<TFormCase> {
protected:
    FormsTest() {
        MainWindow.setGeometry(30, 20, 740, 560);
        MainWindow.show();
        Session.SetLocation("Office");
        {
            TDeviceListLock lock(Session.DeviceList());
            Session.DeviceList().AddDevice("(00:0A:3A:54:12:34)").Name = "Organizer";
        }
        Platform.Radios.push_back(
            {TRadioInformation{{1, 2, 3, 4, 5, 6}, u"Lab radio", 0x104, 1, 10}, true, true});
        const std::string title = GetParam().Title;
        if (title == "RadioInfo") {
            Form = std::make_unique<TRadioInfoForm>(Platform, &MainWindow);
        } else if (title == "DeviceDetails") {
            auto details = std::make_unique<TDeviceDetailsForm>(Session, ChooseLocation, &MainWindow);
            details->SelectedAddress = "(00:0A:3A:54:12:34)";
            Form = std::move(details);
        } else if (title == "ChooseLocation") {
            Form = std::make_unique<TChooseLocationForm>(Session, &MainWindow);
        } else {
            Form = std::make_unique<TAboutForm>(&MainWindow);
        }
    }

    // Shows the form, records what the operator sees, and closes it with KEY.
    int ShowAndPress(Qt::Key key) {
        WhenModal([this, key](QWidget* window) {
            Caption = window->windowTitle();
            Modal = window->isModal();
            Offset = window->frameGeometry().center() - MainWindow.frameGeometry().center();
            window->move(window->pos() + QPoint(20, 15));
            PressKey(window, key);
        });
        return Form->exec();
    }

    QWidget MainWindow;
    TSessionState Session;
    test::TFakePlatform Platform;
    TChooseLocationForm ChooseLocation{Session, &MainWindow};
    std::unique_ptr<QDialog> Form;
    QString Caption;
    bool Modal = false;
    QPoint Offset{-1000, -1000};
};

TEST_P(FormsTest, ShownModallyCentredWithItsCaption) {
    for (int showing = 0; showing < 2; ++showing) {
        ShowAndPress(Qt::Key_Escape);
        EXPECT_EQ(Caption, GetParam().Caption);
        EXPECT_TRUE(Modal);
        EXPECT_LE(Offset.manhattanLength(), 2)
            << "showing " << showing << " is off centre by " << Offset.x() << ", " << Offset.y();
    }
}

TEST_P(FormsTest, EscapeClosesAsCancel) {
    EXPECT_EQ(ShowAndPress(Qt::Key_Escape), QDialog::Rejected);
}

TEST_P(FormsTest, EnterPressesTheDefaultButton) {
    EXPECT_EQ(ShowAndPress(Qt::Key_Return), GetParam().EnterResult);
    EXPECT_FALSE(Form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FormsTest,
    testing::Values(TFormCase{"RadioInfo", QStringLiteral("Bluetooth Radio Information"), QDialog::Rejected},
                    TFormCase{"DeviceDetails", QStringLiteral("Bluetooth Device Information"),
                              QDialog::Rejected},
                    TFormCase{"ChooseLocation", QStringLiteral("Choose Location"), QDialog::Accepted},
                    TFormCase{"About", QStringLiteral("About"), QDialog::Rejected}),
    [](const testing::TestParamInfo<TFormCase>& test) { return std::string(test.param.Title); });

} // namespace
} // namespace orvelle
