// The main window's lifecycle: start-up with and without a session, the log across a restart, the
// refresh and rebuild requests, the scan indicator and the hint panel.
#include "AppTestSupport.h"

#include "inventory/Trace.h"

#include <QLabel>
#include <QListWidget>
#include <QStatusTipEvent>

#include <fstream>

namespace orvelle::test {
namespace {

using MainFormTest = TAppTest;

QString TopLogLine(TMainForm& form, int row = 0) {
    return form.findChild<QListWidget*>(QStringLiteral("LogList"))->item(row)->text();
}

TEST_F(MainFormTest, FirstStartWithoutSessionFileLogsTheStartAndFiltersToNow) {
    TMainForm& form = NewForm();
    EXPECT_EQ(form.frameGeometry().size(), QSize(932, 585));
    ASSERT_EQ(Session->Log.size(), 1u);
    EXPECT_EQ(Session->Log[0], "11/14/23 at 22:13:20: Scan started in location ");
    EXPECT_EQ(TopLogLine(form).toStdString(), Session->Log[0]);
    EXPECT_EQ(form.FilterKind(), fkLastSeen);
    EXPECT_EQ(form.FilterValue(), "Now");
    EXPECT_TRUE(ListedAddresses().empty());
    EXPECT_TRUE(SelectedFilter().isEmpty());
    EXPECT_EQ(form.windowTitle().toStdString(), "Tamsholt Orvelle - Bluetooth Device Discovery");
    // The start line was saved at once.
    std::ifstream saved(SessionPath());
    EXPECT_TRUE(saved.good());
}

TEST_F(MainFormTest, RestartShowsTheNewStartLineAboveTheScanFinishedLineOfTheRunBefore) {
    NewForm();
    FNow = TestNow + 60;
    FForm.reset();
    FNow = TestNow + 120;
    TMainForm& form = NewForm();
    ASSERT_EQ(Session->Log.size(), 3u);
    EXPECT_EQ(Session->Log[0], "11/14/23 at 22:15:20: Scan started in location ");
    EXPECT_EQ(Session->Log[1], "11/14/23 at 22:14:20: Scan finished");
    EXPECT_EQ(Session->Log[2], "11/14/23 at 22:13:20: Scan started in location ");
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(TopLogLine(form, row).toStdString(), Session->Log[static_cast<std::size_t>(row)]);
}

TEST_F(MainFormTest, ClosingSavesTheSessionAndDestructionLogsScanFinished) {
    NewForm();
    AddDevice("Phone", "(00:00:00:00:00:01)");
    FForm->close();
    {
        std::unique_ptr<TSessionState> saved(LoadSession());
        TDeviceListLock lock(saved->DeviceList());
        EXPECT_EQ(saved->DeviceList().Count(), 1);
    }
    FForm.reset();
    std::unique_ptr<TSessionState> saved(LoadSession());
    ASSERT_FALSE(saved->Log.empty());
    EXPECT_EQ(saved->Log[0], "11/14/23 at 22:13:20: Scan finished");
}

TEST_F(MainFormTest, RefreshRepaintsWithoutAddingRowsAndRecountsTheFilterTree) {
    TMainForm& form = NewForm();
    form.DeviceDataChanged();
    AddDevice("Phone", "(00:00:00:00:00:01)");
    Pump();
    EXPECT_TRUE(ListedAddresses().empty()) << "a refresh adds no row";
    EXPECT_EQ(FilterTexts()[1], QStringLiteral("  Now (1)"));
}

TEST_F(MainFormTest, RebuildSavesTheSessionAndRebuildsBothViews) {
    TMainForm& form = NewForm();
    AddDevice("Phone", "(00:00:00:00:00:01)");
    form.DeviceListChanged();
    EXPECT_TRUE(ListedAddresses().empty()) << "the request runs later, from the event loop";
    Pump();
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:01)"});
    EXPECT_EQ(FilterTexts()[1], QStringLiteral("  Now (1)"));
    std::unique_ptr<TSessionState> saved(LoadSession());
    TDeviceListLock lock(saved->DeviceList());
    EXPECT_EQ(saved->DeviceList().Count(), 1);
}

TEST_F(MainFormTest, UnknownRequestDoesNothing) {
    TMainForm& form = NewForm();
    AddDevice("Phone", "(00:00:00:00:00:01)");
    QCoreApplication::postEvent(&form, new TListChangedEvent(2));
    Pump();
    EXPECT_TRUE(ListedAddresses().empty());
    EXPECT_EQ(FilterTexts().size(), 4u);
}

TEST_F(MainFormTest, RequestsAreTracedOnEntryAndExit) {
    TMainForm& form = NewForm(false);
    const std::string tracePath = FDirectory.filePath(QStringLiteral("trace.log")).toStdString();
    ASSERT_EQ(TraceStart(tracePath.c_str()), 0);
    TraceLevel(TraceModule, 1);
    form.DeviceListChanged();
    Pump();
    QCoreApplication::postEvent(&form, new TListChangedEvent(2));
    Pump();
    TraceLevel(TraceModule, 0);
    form.DeviceListChanged();
    Pump();
    TraceStop();

    std::ifstream trace(tracePath);
    std::string lines;
    for (std::string line; std::getline(trace, line);)
        if (line.find("TMainForm::") != std::string::npos)
            lines += line + "\n";
    EXPECT_EQ(lines, "[Bluetooth]TMainForm::DeviceListChanged Enter\n"
                     "[Bluetooth]TMainForm::DeviceListChanged Exit\n"
                     "[Bluetooth]TMainForm::UMListChanged Enter\n"
                     "[Bluetooth]TMainForm::UMListChanged Exit\n"
                     "[Bluetooth]TMainForm::UMListChanged Enter\n"
                     "[Bluetooth]TMainForm::UMListChanged Exit\n");
}

TEST_F(MainFormTest, ScanIndicatorShowsForFiveTicksAndRestartsItsCountdown) {
    TMainForm& form = NewForm(false);
    auto* panel = form.findChild<QLabel*>(QStringLiteral("ScanPanel"));
    ASSERT_NE(panel, nullptr);
    form.StartScanIndicator();
    EXPECT_EQ(panel->text(), QStringLiteral("Scan"));
    for (int tick = 1; tick <= 5; ++tick) {
        form.ScanIndicatorFadeTimer();
        EXPECT_EQ(panel->text(), QStringLiteral("Scan")) << "tick " << tick;
    }
    form.ScanIndicatorFadeTimer();
    EXPECT_EQ(panel->text(), QString());

    form.StartScanIndicator();
    for (int tick = 0; tick < 3; ++tick)
        form.ScanIndicatorFadeTimer();
    form.StartScanIndicator();
    for (int tick = 0; tick < 5; ++tick)
        form.ScanIndicatorFadeTimer();
    EXPECT_EQ(panel->text(), QStringLiteral("Scan")) << "a pass during the countdown starts it again";
    form.ScanIndicatorFadeTimer();
    EXPECT_EQ(panel->text(), QString());
    for (int tick = 0; tick < 10; ++tick)
        form.ScanIndicatorFadeTimer();
    EXPECT_EQ(form.ScanIndicatorCount(), -1);
}

TEST_F(MainFormTest, HintPanelIsTheWindowWidthMinusSixtyAndShowsHints) {
    TMainForm& form = NewForm();
    auto* hint = form.findChild<QLabel*>(QStringLiteral("HintPanel"));
    ASSERT_NE(hint, nullptr);
    // The panel follows the outer width, frame included.
    form.resize(700 - (form.frameGeometry().width() - form.width()), 500);
    EXPECT_EQ(form.frameGeometry().width(), 700);
    EXPECT_EQ(hint->width(), 640);

    QStatusTipEvent tip(QStringLiteral("Specify the current location"));
    QApplication::sendEvent(&form, &tip);
    EXPECT_EQ(hint->text(), QStringLiteral("Specify the current location"));
}

TEST_F(MainFormTest, StoredSessionIsShownAtStart) {
    {
        TSessionState stored;
        stored.HideInactive = true;
        stored.Log = {"11/13/23 at 10:00:00: Scan finished"};
        SaveSession(stored);
    }
    TMainForm& form = NewForm();
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("HideInactive"))->isChecked());
    EXPECT_TRUE(form.findChild<QAction*>(QStringLiteral("ApplyFilter"))->isChecked());
    EXPECT_EQ(TopLogLine(form, 1), QStringLiteral("11/13/23 at 10:00:00: Scan finished"));
}

} // namespace
} // namespace orvelle::test
