// The main window (TMainForm): the "Network" tab with the filter tree and the device list, the "Log"
// tab, the status bar with the hint panel and the scan indicator, the commands, and the window's
// part in the program's lifecycle (session, scan thread, refresh and rebuild requests).
#pragma once

#include "app/QtDispatcher.h"
#include "scan/DiscoveryThread.h"
#include "scan/DiscoveryWindow.h"

#include <QEvent>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QStandardItemModel;
class QTabWidget;
class QTimer;
class QTreeView;

namespace orvelle {

class TAboutForm;
class TChooseLocationForm;
class TDeviceDetailsForm;
class TDeviceTreeView;
class TRadioInfoForm;
class TSessionState;

// The window's private request to refresh or rebuild its views, posted from any thread and handled
// one at a time in the order posted.
inline constexpr QEvent::Type UM_LISTCHANGED = static_cast<QEvent::Type>(0x87D1);
enum TListChange : int { lcRefresh = 0, lcRebuild = 1 };

class TListChangedEvent : public QEvent {
public:
    explicit TListChangedEvent(int wParam) : QEvent(UM_LISTCHANGED), WParam(wParam) {}
    const int WParam;
};

class TMainForm : public QMainWindow, public TDiscoveryWindow, public TSoundPlayer {
    Q_OBJECT

public:
    // Loads the session from the session file (it becomes the process's Session), creates the scan
    // thread suspended and logs the start line.
    explicit TMainForm(QWidget* parent = nullptr);
    // Stops the scan thread, logs "Scan finished" and saves the session.
    ~TMainForm() override;

    // The secondary windows, created after the main window; the commands show them.
    void SetWindows(TRadioInfoForm* radioInfo, TDeviceDetailsForm* deviceDetails,
                    TChooseLocationForm* chooseLocation, TAboutForm* about);

    void AddLogLine(const std::string& text) override;
    // Posts a rebuild request (the session is saved, both views rebuilt when it is handled).
    void DeviceListChanged() override;
    void StartScanIndicator() override;
    void PlaySound(const std::string& fileName) override;

    // Posts a refresh request; callable from any thread, also while the device list is locked.
    void DeviceDataChanged();

    void FillLogList();
    void BuildDeviceList();
    void BuildFilterTree();

    // The 200 ms tick of the scan indicator.
    void ScanIndicatorFadeTimer();

    std::int32_t FilterKind() const { return FFilterKind; }
    const std::string& FilterValue() const { return FFilterValue; }
    int ScanIndicatorCount() const { return FScanIndicatorCount; }
    TDeviceTreeView& DeviceTree() { return *FDeviceTree; }
    QTreeView& FilterTree();

    // Called with every message the window shows for a failure of one of its handlers; tests
    // install a recorder here. The default shows the application's error box.
    void SetErrorDisplay(std::function<void(const QString&)> display) { FErrorDisplay = std::move(display); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateLayout();
    void CreateActions();
    void CreateMenus();

    void FormShow();
    void FormClose();
    void FormResize();
    void UMListChanged(int wParam);

    void FilterTreeChange();
    void ActionList1Update();

    void ExitExecute();
    void RadioInformationExecute();
    void SetLocationExecute();
    void AboutExecute();
    void HelpExecute();
    void DeleteDeviceExecute();
    void DeleteAllDevicesExecute();
    void ClearLogExecute();
    void InspectDeviceExecute();
    void HideInactiveExecute();
    void ApplyFilterExecute();

    // Runs HANDLER; a failure it raises goes to the error display and the window stays usable.
    void Guarded(const std::function<void()>& handler);
    QAction* NewAction(const char* name, const char* caption, const char* hint, void (TMainForm::*handler)());

    std::unique_ptr<TSessionState> FSession;
    TQtDispatcher FDispatcher;
    std::unique_ptr<TDiscoveryThread> FDiscoveryThread;
    std::int32_t FScanIndicatorCount = 0;
    std::int32_t FFilterKind = 0;
    std::string FFilterValue;

    bool FRebuildingFilterTree = false;
    bool FShown = false;
    std::function<void(const QString&)> FErrorDisplay;

    TRadioInfoForm* FRadioInfoForm = nullptr;
    TDeviceDetailsForm* FDeviceDetailsForm = nullptr;
    TChooseLocationForm* FChooseLocationForm = nullptr;
    TAboutForm* FAboutForm = nullptr;

    QTabWidget* FMainTabs = nullptr;
    QCheckBox* FApplyFilterButton = nullptr;
    QCheckBox* FCheckBox1 = nullptr;
    QTreeView* FFilterTree = nullptr;
    QStandardItemModel* FFilterModel = nullptr;
    TDeviceTreeView* FDeviceTree = nullptr;
    QListWidget* FLogList = nullptr;
    QLabel* FHintPanel = nullptr;
    QLabel* FScanPanel = nullptr;
    QTimer* FScanIndicatorFade = nullptr;
    QMenu* FDeviceManageMenu = nullptr;

    QAction* FExit = nullptr;
    QAction* FRadioInformation = nullptr;
    QAction* FSetLocation = nullptr;
    QAction* FAbout = nullptr;
    QAction* FHelp = nullptr;
    QAction* FDeleteDevice = nullptr;
    QAction* FClearLog = nullptr;
    QAction* FDeleteAllDevices = nullptr;
    QAction* FInspectDevice = nullptr;
    // The main menu's Inspect Device item, which alone carries Ctrl+I.
    QAction* FInspectDeviceItem = nullptr;
    QAction* FHideInactive = nullptr;
    QAction* FApplyFilter = nullptr;
};

} // namespace orvelle
