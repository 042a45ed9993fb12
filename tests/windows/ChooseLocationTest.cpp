// The choose-location dialog: the list and starting text, completion while typing, the answer taken
// as typed, the refusal of an empty text, and Cancel and Esc leaving the answer alone.
#include "windows/ChooseLocationWindow.h"

#include "ModalHelpers.h"
#include "inventory/SessionState.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using test::PressKey;
using test::WhenModal;

class ChooseLocationTest : public testing::Test {
protected:
    ChooseLocationTest() {
        Session.SetLocation("Office");
        Session.LocationList = {"Garage", "Lab", "Office"};
        Form.ChosenLocation = "Before";
    }

    QComboBox* Combo() { return Form.findChild<QComboBox*>(QStringLiteral("LocationCombo")); }
    QStringList Items() {
        QStringList items;
        for (int i = 0; i < Combo()->count(); ++i)
            items << Combo()->itemText(i);
        return items;
    }

    // Shows the dialog, lets ACTION act on it, and returns the dialog's result.
    int Run(std::function<void(TChooseLocationForm&)> action) {
        WhenModal([this, action](QWidget*) { action(Form); });
        return Form.exec();
    }

    TSessionState Session;
    TChooseLocationForm Form{Session};
};

TEST_F(ChooseLocationTest, StartsAtTheCurrentLocationWithTheKnownOnes) {
    Form.FormShow();
    EXPECT_EQ(Items(),
              (QStringList{QStringLiteral("Garage"), QStringLiteral("Lab"), QStringLiteral("Office")}));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("Office"));
    EXPECT_TRUE(Combo()->isEditable());
}

TEST_F(ChooseLocationTest, ListIsRebuiltAtEachShowing) {
    Form.FormShow();
    Session.SetLocation("Attic");
    Session.LocationList = {};
    Form.FormShow();
    EXPECT_EQ(Combo()->count(), 0);
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("Attic"));
}

struct TTypedCase {
    const char* Title;
    QString Typed;
    std::string Expected;
};

void PrintTo(const TTypedCase& typed, std::ostream* out) {
    *out << typed.Title;
}

class ChooseLocationTypedTest : public ChooseLocationTest, public testing::WithParamInterface<TTypedCase> {};

TEST_P(ChooseLocationTypedTest, EnterTakesTheTextAsTyped) {
    int result = Run([](TChooseLocationForm& form) {
        form.findChild<QComboBox*>(QStringLiteral("LocationCombo"))->setEditText(GetParam().Typed);
        PressKey(&form, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(Form.ChosenLocation, GetParam().Expected);
    // Only the caller decides what becomes of the answer.
    EXPECT_EQ(Items().size(), 3);
    EXPECT_EQ(Session.LocationList, (std::vector<std::string>{"Garage", "Lab", "Office"}));
    EXPECT_EQ(Session.Location(), "Office");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ChooseLocationTypedTest,
    testing::Values(TTypedCase{"NewLocation", QStringLiteral("Loft"), "Loft"},
                    TTypedCase{"KnownLocationOtherCase", QStringLiteral("lab"), "lab"},
                    TTypedCase{"BlanksCount", QStringLiteral("  "), "  "},
                    TTypedCase{"NotTrimmed", QStringLiteral(" Hall 2 "), " Hall 2 "},
                    TTypedCase{"CodePage", QStringLiteral("Caf\u00e9 \u20ac"), "Caf\xe9 \x80"},
                    TTypedCase{"OutsideTheCodePage", QStringLiteral("Room \u03a9"), "Room ?"}),
    [](const testing::TestParamInfo<TTypedCase>& test) { return std::string(test.param.Title); });

TEST_F(ChooseLocationTest, PickedEntryIsReturnedExactly) {
    int result = Run([](TChooseLocationForm& form) {
        form.findChild<QComboBox*>(QStringLiteral("LocationCombo"))->setCurrentIndex(0);
        form.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(Form.ChosenLocation, "Garage");
}

TEST_F(ChooseLocationTest, TypingOffersMatchingLocations) {
    Form.FormShow();
    Form.show();
    QLineEdit* edit = Combo()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("ga"));
    auto* completer = Combo()->findChild<QCompleter*>();
    ASSERT_NE(completer, nullptr);
    EXPECT_EQ(completer->completionMode(), QCompleter::PopupCompletion);
    EXPECT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), QStringLiteral("Garage"));
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(edit->text(), QStringLiteral("Garage"));
    Form.hide();
}

TEST_F(ChooseLocationTest, EmptyTextIsRefusedAndTheDialogStaysOpen) {
    QString boxText;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    int boxButtons = 0;
    bool openAfterBox = false;
    int result = Run([&](TChooseLocationForm& form) {
        form.findChild<QComboBox*>(QStringLiteral("LocationCombo"))->setEditText(QString());
        WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box != nullptr) {
                boxText = box->text();
                boxIcon = box->icon();
                boxButtons = static_cast<int>(box->buttons().size());
            }
            PressKey(modal, Qt::Key_Return);
        });
        PressKey(&form, Qt::Key_Return);
        openAfterBox = form.isVisible();
        PressKey(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(boxText,
              QStringLiteral("Please choose a location from the dropdown list, or enter a new location."));
    EXPECT_EQ(boxIcon, QMessageBox::Critical);
    EXPECT_EQ(boxButtons, 1);
    EXPECT_TRUE(openAfterBox);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Form.ChosenLocation, "Before");
}

TEST_F(ChooseLocationTest, EmptyCurrentLocationIsRefusedToo) {
    Session.SetLocation("");
    Session.LocationList = {};
    bool refused = false;
    Run([&](TChooseLocationForm& form) {
        WhenModal([&](QWidget* modal) {
            refused = qobject_cast<QMessageBox*>(modal) != nullptr;
            PressKey(modal, Qt::Key_Return);
        });
        PressKey(&form, Qt::Key_Return);
        form.reject();
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(Form.ChosenLocation, "Before");
}

struct TCancelCase {
    const char* Title;
    std::function<void(TChooseLocationForm&)> Cancel;
};

void PrintTo(const TCancelCase& cancel, std::ostream* out) {
    *out << cancel.Title;
}

class ChooseLocationCancelTest : public ChooseLocationTest,
                                 public testing::WithParamInterface<TCancelCase> {};

TEST_P(ChooseLocationCancelTest, LeavesTheAnswerAlone) {
    int result = Run([](TChooseLocationForm& form) {
        form.findChild<QComboBox*>(QStringLiteral("LocationCombo"))->setEditText(QStringLiteral("Elsewhere"));
        GetParam().Cancel(form);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Form.ChosenLocation, "Before");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ChooseLocationCancelTest,
    testing::Values(TCancelCase{"Escape", [](TChooseLocationForm& form) { PressKey(&form, Qt::Key_Escape); }},
                    TCancelCase{"CancelButton",
                                [](TChooseLocationForm& form) {
                                    form.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
                                }}),
    [](const testing::TestParamInfo<TCancelCase>& test) { return std::string(test.param.Title); });

} // namespace
} // namespace orvelle
