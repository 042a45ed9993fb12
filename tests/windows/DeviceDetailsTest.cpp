// The device details window: what it shows of a device, a device that has gone, a record that cannot
// be rendered, and the move of the device to another location.
#include "windows/DeviceDetailsWindow.h"

#include "ModalHelpers.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "inventory/Errors.h"
#include "inventory/SessionState.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DisplayText.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace orvelle {
namespace {

using test::PressKey;
using test::WhenModal;

const std::string Organizer = "(00:0A:3A:54:12:34)";
const std::string Headset = "(00:1B:2C:3D:4E:5F)";

std::string ServiceRecord(std::uint16_t serviceClass, const char* name) {
    return TSdpRecord{{0x0001, TSdpData::Sequence({TSdpData::Uuid16(serviceClass)})},
                      {0x0100, TSdpData::Text(name)}}
        .Bytes();
}

class DeviceDetailsTest : public testing::Test {
protected:
    DeviceDetailsTest() {
        Session.SetLocation("Office");
        Session.LocationList = {"Lab", "Office"};
        TDeviceListLock lock(Session.DeviceList());
        TBTDevice& organizer = Session.DeviceList().AddDevice(Organizer);
        organizer.Name = "Organizer";
        organizer.Location = "Lab";
        organizer.RawSDPRecords = {ServiceRecord(0x1101, "Serial Port"),
                                   ServiceRecord(0x1105, "OBEX Object Push")};
        TBTDevice& headset = Session.DeviceList().AddDevice(Headset);
        headset.Name = "Head<b>set</b> & co";
        headset.Location = "Garage";
        Form.SetDeviceDataChanged([this] { ++Refreshes; });
    }

    template<typename T>
    T* Child(const char* name) {
        return Form.findChild<T*>(QString::fromLatin1(name));
    }
    QString Label(const char* name) { return Child<QLabel>(name)->text(); }
    QStringList Services() {
        QStringList items;
        for (int i = 0; i < Child<QListWidget>("ServiceList")->count(); ++i)
            items << Child<QListWidget>("ServiceList")->item(i)->text();
        return items;
    }
    std::string DeviceLocation(const std::string& address) {
        TDeviceListLock lock(Session.DeviceList());
        TBTDevice* device = Session.DeviceList().FindDevice(address);
        return device ? device->Location : "<gone>";
    }
    void Show(const std::string& address) {
        Form.SelectedAddress = address;
        Form.FormShow();
    }

    // Whether a thread other than the window's can take the device list's lock within two seconds.
    // A thread still waiting is joined at the end of the test, once the window has let go.
    bool LockIsFree() {
        auto taken = std::make_shared<std::atomic<bool>>(false);
        Waiters.emplace_back([this, taken] {
            TDeviceListLock lock(Session.DeviceList());
            *taken = true;
        });
        for (int i = 0; i < 200 && !*taken; ++i)
            QTest::qWait(10);
        return *taken;
    }

    TSessionState Session;
    std::vector<std::jthread> Waiters;
    TChooseLocationForm ChooseLocation{Session};
    TDeviceDetailsForm Form{Session, ChooseLocation};
    int Refreshes = 0;
};

TEST_F(DeviceDetailsTest, ShowsTheDevice) {
    Show(Organizer);
    EXPECT_EQ(Label("Name"), QStringLiteral("Organizer"));
    EXPECT_EQ(Label("DeviceAddress"), QStringLiteral("(00:0A:3A:54:12:34)"));
    EXPECT_EQ(Label("Location"), QStringLiteral("Lab"));
    EXPECT_EQ(Services(), (QStringList{QStringLiteral("Serial Port"), QStringLiteral("OBEX Object Push")}));
    std::string sdpText;
    {
        TDeviceListLock lock(Session.DeviceList());
        sdpText = Session.DeviceList().FindDevice(Organizer)->SDPText();
    }
    EXPECT_EQ(Child<QPlainTextEdit>("SDPMemo")->toPlainText(), CodePageToQString(sdpText));
    EXPECT_TRUE(Child<QToolButton>("LocationButton")->isEnabled());
}

TEST_F(DeviceDetailsTest, RecordsTextIsReadOnlyFixedPitchWithBothScrollBars) {
    Show(Organizer);
    auto* memo = Child<QPlainTextEdit>("SDPMemo");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_TRUE(QFontInfo(memo->font()).fixedPitch());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(DeviceDetailsTest, DeviceWithoutRecordsSaysSo) {
    Show(Headset);
    EXPECT_EQ(Child<QPlainTextEdit>("SDPMemo")->toPlainText(),
              QStringLiteral("No SDP information available."));
    EXPECT_TRUE(Services().isEmpty());
}

TEST_F(DeviceDetailsTest, DeviceDataIsPlainText) {
    Show(Headset);
    EXPECT_EQ(Label("Name"), QStringLiteral("Head<b>set</b> & co"));
    for (const char* name : {"Name", "DeviceAddress", "Location"})
        EXPECT_EQ(Child<QLabel>(name)->textFormat(), Qt::PlainText) << name;
}

TEST_F(DeviceDetailsTest, GoneDeviceLeavesTheWindowEmpty) {
    Show(Organizer);
    Show("(11:22:33:44:55:66)");
    for (const char* name : {"Name", "DeviceAddress", "Location"})
        EXPECT_EQ(Label(name), QString()) << name;
    EXPECT_TRUE(Services().isEmpty());
    EXPECT_EQ(Child<QPlainTextEdit>("SDPMemo")->toPlainText(), QString());
    EXPECT_FALSE(Child<QToolButton>("LocationButton")->isEnabled());
}

TEST_F(DeviceDetailsTest, UnrenderableRecordReachesTheCallerAfterTheLockIsReleased) {
    {
        TDeviceListLock lock(Session.DeviceList());
        Session.DeviceList().FindDevice(Headset)->RawSDPRecords = {std::string("\x35\x09\x09\x01", 4)};
    }
    Form.SelectedAddress = Headset;
    try {
        Form.exec();
        ADD_FAILURE() << "no error raised";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Unable to enumerate SDP attributes.", 0), 0u)
            << error.what();
    }
    EXPECT_FALSE(Form.isVisible());
    EXPECT_TRUE(LockIsFree());
}

TEST_F(DeviceDetailsTest, LastSheetIsKeptBetweenShowings) {
    Form.SelectedAddress = Organizer;
    int firstSheet = -1;
    WhenModal([&](QWidget* window) {
        auto* pages = window->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        firstSheet = pages->currentIndex();
        pages->setCurrentIndex(1);
        PressKey(window, Qt::Key_Escape);
    });
    Form.exec();
    QString secondSheet;
    WhenModal([&](QWidget* window) {
        secondSheet =
            window->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->currentWidget()->objectName();
        PressKey(window, Qt::Key_Return);
    });
    Form.exec();
    EXPECT_EQ(firstSheet, 0);
    EXPECT_EQ(secondSheet, QStringLiteral("RawSDPSheet"));
}

struct TMoveCase {
    const char* Title;
    QString Chosen; // empty: the dialog is cancelled
    std::string Stored;
    int Refreshes;
};

void PrintTo(const TMoveCase& move, std::ostream* out) {
    *out << move.Title;
}

class DeviceDetailsMoveTest : public DeviceDetailsTest, public testing::WithParamInterface<TMoveCase> {};

TEST_P(DeviceDetailsMoveTest, ChangesTheDeviceOnlyForAnotherLocation) {
    Show(Organizer);
    QString startText;
    bool lockFree = false;
    WhenModal([&](QWidget* dialog) {
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("LocationCombo"));
        startText = combo->currentText();
        lockFree = LockIsFree();
        if (GetParam().Chosen.isEmpty()) {
            PressKey(dialog, Qt::Key_Escape);
        } else {
            combo->setEditText(GetParam().Chosen);
            PressKey(dialog, Qt::Key_Return);
        }
    });
    Child<QToolButton>("LocationButton")->click();

    // The dialog starts at the session's location, not at the device's.
    EXPECT_EQ(startText, QStringLiteral("Office"));
    EXPECT_TRUE(lockFree);
    EXPECT_EQ(DeviceLocation(Organizer), GetParam().Stored);
    EXPECT_EQ(Label("Location"), CodePageToQString(GetParam().Stored));
    EXPECT_EQ(Refreshes, GetParam().Refreshes);
    // A device's location never enters the session's list, nor becomes the current one.
    EXPECT_EQ(Session.LocationList, (std::vector<std::string>{"Lab", "Office"}));
    EXPECT_EQ(Session.Location(), "Office");
    EXPECT_EQ(DeviceLocation(Headset), "Garage");
}

INSTANTIATE_TEST_SUITE_P(Moves, DeviceDetailsMoveTest,
                         testing::Values(TMoveCase{"SameLocation", QStringLiteral("Lab"), "Lab", 0},
                                         TMoveCase{"KnownLocation", QStringLiteral("Office"), "Office", 1},
                                         TMoveCase{"NewLocation", QStringLiteral("Roof"), "Roof", 1},
                                         TMoveCase{"OtherLetterCase", QStringLiteral("lab"), "lab", 1},
                                         TMoveCase{"Cancelled", QString(), "Lab", 0}),
                         [](const testing::TestParamInfo<TMoveCase>& test) {
                             return std::string(test.param.Title);
                         });

TEST_F(DeviceDetailsTest, DeviceGoneWhileChoosingIsLeftAlone) {
    Show(Organizer);
    WhenModal([&](QWidget* dialog) {
        {
            TDeviceListLock lock(Session.DeviceList());
            Session.DeviceList().Delete(0);
        }
        dialog->findChild<QComboBox*>(QStringLiteral("LocationCombo"))->setEditText(QStringLiteral("Roof"));
        PressKey(dialog, Qt::Key_Return);
    });
    Form.LocationButtonClick();
    EXPECT_EQ(Refreshes, 0);
    EXPECT_EQ(Label("Location"), QStringLiteral("Lab"));
    EXPECT_EQ(DeviceLocation(Headset), "Garage");
}

} // namespace
} // namespace orvelle
