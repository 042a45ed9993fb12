// The commands: captions, hints and shortcuts, the menus, the enabling rule, the confirmation box
// answered every way, and the commands that open the secondary windows.
#include "AppTestSupport.h"

#include "windows/ChooseLocationWindow.h"
#include "windows/DeviceDetailsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace orvelle::test {
namespace {

class CommandsTest : public TAppTest {
protected:
    void SetUp() override {
        TAppTest::SetUp();
        NewForm();
        AddDevice("Phone", "(00:00:00:00:00:01)");
        AddDevice("Laptop", "(00:00:00:00:00:02)");
        FForm->BuildDeviceList();
    }

    QAction* Action(const char* name) { return FForm->findChild<QAction*>(QLatin1String(name)); }

    int DeviceCount() {
        TDeviceListLock lock(Session->DeviceList());
        return Session->DeviceList().Count();
    }
};

TEST_F(CommandsTest, ActionsCarryTheirCaptionsHintsAndShortcuts) {
    struct TCase {
        const char* Name;
        const char* Caption;
        const char* Hint;
        QKeySequence Shortcut;
    };
    const TCase cases[] = {
        {"Exit", "&Exit", "Close the Orvelle application", {}},
        {"RadioInformation",
         "&Radio Information...",
         "See information about the Bluetooth radios in this computer",
         {}},
        {"SetLocation", "Set &Location...", "Specify the current location",
         QKeySequence(Qt::CTRL | Qt::Key_L)},
        {"About", "&About Orvelle...", "See the version number and copyrigjt information", {}},
        {"Help", "&Help...", "Get help on Orvelle", {}},
        {"DeleteDevice", "&Delete Device", "Delete the selected device from the list", {}},
        {"ClearLog", "&Clear Log", "Clear all messages from the log", {}},
        {"DeleteAllDevices", "Delete &All Devices", "Delete all devices from the list", {}},
        {"InspectDevice", "&Inspect Device...", "Inspect detailed information for the device", {}},
        {"InspectDeviceItem", "&Inspect Device...", "Inspect detailed information for the device",
         QKeySequence(Qt::CTRL | Qt::Key_I)},
        {"HideInactive", "Hide &Inactive Devices",
         "Hide devices which have not been active in the last 5 minutes", QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"ApplyFilter", "&Apply Filter", "Apply the selected filter in the filter tree to the device list",
         QKeySequence(Qt::CTRL | Qt::Key_F)},
    };
    for (const TCase& c : cases) {
        QAction* action = Action(c.Name);
        ASSERT_NE(action, nullptr) << c.Name;
        EXPECT_EQ(action->text().toStdString(), c.Caption);
        EXPECT_EQ(action->statusTip().toStdString(), c.Hint);
        EXPECT_EQ(action->shortcut(), c.Shortcut) << c.Name;
    }
}

TEST_F(CommandsTest, MenusListTheActionsInOrder) {
    const auto texts = [](const QList<QAction*>& actions) {
        QStringList list;
        for (const QAction* action : actions)
            list.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return list.join(QLatin1Char('|'));
    };
    QStringList menus;
    for (QAction* menu : FForm->menuBar()->actions())
        menus.append(menu->text() + QLatin1Char(':') + texts(menu->menu()->actions()));
    EXPECT_EQ(menus.join(QLatin1Char(' ')).toStdString(),
              "&File:&Exit &Configure:Set &Location...|-|&Radio Information... "
              "&Filter:&Apply Filter|Hide &Inactive Devices "
              "&Manage:&Inspect Device...|-|&Delete Device|Delete &All Devices|-|&Clear Log "
              "&Help:&Help...|-|&About Orvelle...");
    auto* context = FForm->findChild<QMenu*>(QStringLiteral("DeviceManageMenu"));
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(texts(context->actions()).toStdString(), "&Inspect Device...|-|&Delete Device");
}

TEST_F(CommandsTest, HighlightedMenuItemShowsItsHintInTheFirstPanel) {
    auto* hint = FForm->findChild<QLabel*>(QStringLiteral("HintPanel"));
    QMenu* configure = FForm->menuBar()->actions()[1]->menu();
    configure->popup(FForm->mapToGlobal(QPoint(10, 10)));
    configure->setActiveAction(Action("SetLocation"));
    EXPECT_EQ(hint->text(), QStringLiteral("Specify the current location"));
    configure->close();

    SelectDevice("(00:00:00:00:00:01)");
    auto* context = FForm->findChild<QMenu*>(QStringLiteral("DeviceManageMenu"));
    context->popup(FForm->mapToGlobal(QPoint(300, 100)));
    context->setActiveAction(Action("DeleteDevice"));
    EXPECT_EQ(hint->text(), QStringLiteral("Delete the selected device from the list"));
    context->close();
}

TEST_F(CommandsTest, DeviceCommandsAreEnabledExactlyWhileADeviceIsSelected) {
    for (const char* name : {"DeleteDevice", "InspectDevice", "InspectDeviceItem"})
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_TRUE(Action("DeleteAllDevices")->isEnabled());
    SelectDevice("(00:00:00:00:00:02)");
    for (const char* name : {"DeleteDevice", "InspectDevice", "InspectDeviceItem"})
        EXPECT_TRUE(Action(name)->isEnabled()) << name;
    FForm->DeviceTree().clearSelection();
    EXPECT_FALSE(Action("DeleteDevice")->isEnabled());
}

TEST_F(CommandsTest, ShortcutsRunTheirCommandsFromTheKeyboard) {
    TChooseLocationForm choose(*Session, FForm.get());
    TDeviceDetailsForm details(*Session, choose, FForm.get());
    FForm->SetWindows(nullptr, &details, &choose, nullptr);
    FForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FForm.get()));
    FForm->DeviceTree().setFocus();
    auto* apply = FForm->findChild<QCheckBox*>(QStringLiteral("ApplyFilterButton"));
    auto* hide = FForm->findChild<QCheckBox*>(QStringLiteral("CheckBox1"));

    QTest::keyClick(FForm.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(Action("ApplyFilter")->isChecked());
    EXPECT_FALSE(apply->isChecked());
    EXPECT_FALSE(FForm->FilterTree().isEnabled());
    QTest::keyClick(FForm.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(Action("HideInactive")->isChecked());
    EXPECT_TRUE(hide->isChecked());
    EXPECT_TRUE(Session->HideInactive);

    int shown = 0;
    const auto closeWhenShown = [&shown] {
        WhenModal([&shown](QWidget* dialog) {
            ++shown;
            PressKey(dialog, Qt::Key_Escape);
        });
    };
    QTest::keyClick(FForm.get(), Qt::Key_I, Qt::ControlModifier);
    QTest::qWait(50);
    EXPECT_EQ(shown, 0) << "nothing is selected";
    SelectDevice("(00:00:00:00:00:02)");
    closeWhenShown();
    QTest::keyClick(FForm.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(shown, 1);
    // Offscreen, no window manager gives the main window back its activation when a box closes.
    FForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FForm.get()));
    closeWhenShown();
    QTest::keyClick(FForm.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(shown, 2);
}

TEST_F(CommandsTest, CheckBoxesShowTheFilterActions) {
    auto* apply = FForm->findChild<QCheckBox*>(QStringLiteral("ApplyFilterButton"));
    auto* hide = FForm->findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
    EXPECT_EQ(apply->text(), QStringLiteral("&Apply Filter"));
    EXPECT_TRUE(apply->font().bold());
    EXPECT_EQ(hide->text(), QStringLiteral("Hide &Inactive Devices"));
    EXPECT_TRUE(apply->isChecked());
    Action("ApplyFilter")->trigger();
    EXPECT_FALSE(apply->isChecked());
    hide->click();
    EXPECT_TRUE(Action("HideInactive")->isChecked());
    EXPECT_TRUE(hide->isChecked());
    EXPECT_TRUE(Session->HideInactive);
}

// How a confirmation box is answered.
enum TAnswer { anYes, anNo, anCancel, anEscape, anEnter };

void Answer(TAnswer answer) {
    WhenModal([answer](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->windowTitle(), QStringLiteral("Confirm"));
        EXPECT_EQ(message->icon(), QMessageBox::Question);
        switch (answer) {
        case anYes:
            ClickButton(box, QStringLiteral("&Yes"));
            break;
        case anNo:
            ClickButton(box, QStringLiteral("&No"));
            break;
        case anCancel:
            ClickButton(box, QStringLiteral("Cancel"));
            break;
        case anEscape:
            PressKey(box, Qt::Key_Escape);
            break;
        case anEnter:
            message->defaultButton()->click();
            break;
        }
    });
}

struct TConfirmCase {
    const char* Command;
    TAnswer Answer;
    int DevicesAfter;
    std::size_t LogLinesAfter;
};

void PrintTo(const TConfirmCase& c, std::ostream* stream) {
    *stream << c.Command << " answered " << c.Answer;
}

std::string ConfirmCaseName(const ::testing::TestParamInfo<TConfirmCase>& info) {
    static const char* const answers[] = {"Yes", "No", "Cancel", "Escape", "Enter"};
    return std::string(info.param.Command) + answers[info.param.Answer];
}

class ConfirmedCommandTest : public CommandsTest, public ::testing::WithParamInterface<TConfirmCase> {};

TEST_P(ConfirmedCommandTest, OnlyYesCarriesTheCommandOut) {
    const TConfirmCase& c = GetParam();
    SelectDevice("(00:00:00:00:00:01)");
    Answer(c.Answer);
    Action(c.Command)->trigger();
    Pump();
    EXPECT_EQ(DeviceCount(), c.DevicesAfter);
    EXPECT_EQ(Session->Log.size(), c.LogLinesAfter);
    EXPECT_EQ(FForm->findChild<QListWidget*>(QStringLiteral("LogList"))->count(),
              static_cast<int>(c.LogLinesAfter));
    EXPECT_EQ(static_cast<int>(ListedAddresses().size()), c.DevicesAfter);
    EXPECT_TRUE(Errors.empty());
    // Whatever the command did is in the session file.
    std::unique_ptr<TSessionState> saved(LoadSession());
    EXPECT_EQ(saved->Log.size(), c.LogLinesAfter);
    if (c.DevicesAfter != 2) {
        TDeviceListLock lock(saved->DeviceList());
        EXPECT_EQ(saved->DeviceList().Count(), c.DevicesAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ConfirmedCommandTest,
    ::testing::Values(TConfirmCase{"DeleteDevice", anYes, 1, 1}, TConfirmCase{"DeleteDevice", anEnter, 1, 1},
                      TConfirmCase{"DeleteDevice", anNo, 2, 1}, TConfirmCase{"DeleteDevice", anCancel, 2, 1},
                      TConfirmCase{"DeleteDevice", anEscape, 2, 1},
                      TConfirmCase{"DeleteAllDevices", anYes, 0, 1},
                      TConfirmCase{"DeleteAllDevices", anNo, 2, 1},
                      TConfirmCase{"DeleteAllDevices", anEscape, 2, 1}, TConfirmCase{"ClearLog", anYes, 2, 0},
                      TConfirmCase{"ClearLog", anCancel, 2, 1}, TConfirmCase{"ClearLog", anEscape, 2, 1}),
    ConfirmCaseName);

TEST_F(CommandsTest, DeleteDeviceRemovesTheSelectedDeviceOnly) {
    SelectDevice("(00:00:00:00:00:02)");
    Answer(anYes);
    Action("DeleteDevice")->trigger();
    Pump();
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:01)"});
    EXPECT_FALSE(FForm->DeviceTree().HasSelection());
}

TEST_F(CommandsTest, DeleteAllDevicesOnAnEmptyListStillAsksAndRebuilds) {
    Answer(anYes);
    Action("DeleteAllDevices")->trigger();
    Pump();
    bool asked = false;
    WhenModal([&asked](QWidget* box) {
        asked = true;
        ClickButton(box, QStringLiteral("&Yes"));
    });
    Action("DeleteAllDevices")->trigger();
    Pump();
    EXPECT_TRUE(asked);
    EXPECT_EQ(DeviceCount(), 0);
}

TEST_F(CommandsTest, ClearLogThenRestartLeavesTheStartLineAndScanFinished) {
    Answer(anYes);
    Action("ClearLog")->trigger();
    EXPECT_EQ(FForm->findChild<QListWidget*>(QStringLiteral("LogList"))->count(), 0);
    FNow = TestNow + 10;
    FForm.reset();
    NewForm();
    ASSERT_EQ(Session->Log.size(), 2u);
    EXPECT_EQ(Session->Log[0], "11/14/23 at 22:13:30: Scan started in location ");
    EXPECT_EQ(Session->Log[1], "11/14/23 at 22:13:30: Scan finished");
}

TEST_F(CommandsTest, SetLocationLogsTheMoveAndTouchesNoDevice) {
    TChooseLocationForm choose(*Session, FForm.get());
    FForm->SetWindows(nullptr, nullptr, &choose, nullptr);
    for (int round = 0; round < 2; ++round) {
        WhenModal([](QWidget* dialog) {
            dialog->findChild<QComboBox*>()->setEditText(QStringLiteral("Lab"));
            ClickButton(dialog, QStringLiteral("OK"));
        });
        Action("SetLocation")->trigger();
        EXPECT_EQ(Session->Location(), "Lab");
        EXPECT_EQ(Session->Log[0], "11/14/23 at 22:13:20: Moved to location: Lab");
    }
    EXPECT_EQ(Session->Log.size(), 3u) << "the same location again is logged again";
    EXPECT_EQ(Session->LocationList, std::vector<std::string>{"Lab"});
    TDeviceListLock lock(Session->DeviceList());
    EXPECT_EQ(Session->DeviceList().FindDevice("(00:00:00:00:00:01)")->Location, "");
}

TEST_F(CommandsTest, SetLocationCancelledChangesNothing) {
    TChooseLocationForm choose(*Session, FForm.get());
    FForm->SetWindows(nullptr, nullptr, &choose, nullptr);
    WhenModal([](QWidget* dialog) { PressKey(dialog, Qt::Key_Escape); });
    Action("SetLocation")->trigger();
    EXPECT_EQ(Session->Location(), "");
    EXPECT_EQ(Session->Log.size(), 1u);
}

TEST_F(CommandsTest, InspectDeviceOpensTheDetailsOfTheSelectedDevice) {
    TChooseLocationForm choose(*Session, FForm.get());
    TDeviceDetailsForm details(*Session, choose, FForm.get());
    FForm->SetWindows(nullptr, &details, &choose, nullptr);
    int shown = 0;
    const auto closeWhenShown = [&shown] {
        WhenModal([&shown](QWidget* dialog) {
            ++shown;
            PressKey(dialog, Qt::Key_Escape);
        });
    };

    Action("InspectDeviceItem")->trigger();
    EXPECT_EQ(shown, 0) << "nothing is selected";

    SelectDevice("(00:00:00:00:00:02)");
    closeWhenShown();
    Action("InspectDevice")->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(details.SelectedAddress, "(00:00:00:00:00:02)");

    closeWhenShown();
    PressKey(&FForm->DeviceTree(), Qt::Key_Return);
    EXPECT_EQ(shown, 2);

    // A device deleted behind the selection's back opens nothing.
    {
        TDeviceListLock lock(Session->DeviceList());
        Session->DeviceList().Delete(1);
    }
    Action("InspectDevice")->trigger();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(Errors.empty());
}

} // namespace
} // namespace orvelle::test
