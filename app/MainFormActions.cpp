// The main window's commands: the actions with their captions, hints and shortcuts, the main menu,
// the device list's context menu, the check boxes bound to the filter actions, the enabling rule and
// the handlers.
#include "app/ConfirmBox.h"
#include "app/DeviceListView.h"
#include "app/MainForm.h"
#include "app/Manual.h"
#include "inventory/SessionState.h"
#include "windows/AboutWindow.h"
#include "windows/ChooseLocationWindow.h"
#include "windows/DeviceDetailsWindow.h"
#include "windows/RadioInfoWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>
#include <QUrl>

namespace orvelle {

namespace {

// Makes CHECKBOX show ACTION: its caption, hint, checked and enabled state; a click runs the action.
void BindCheckBox(QCheckBox* checkBox, QAction* action) {
    const auto show = [checkBox, action] {
        checkBox->setText(action->text());
        checkBox->setStatusTip(action->statusTip());
        checkBox->setEnabled(action->isEnabled());
        checkBox->setChecked(action->isChecked());
    };
    show();
    QObject::connect(action, &QAction::changed, checkBox, show);
    QObject::connect(action, &QAction::toggled, checkBox, show);
    // The action toggles itself when triggered; the check box's own toggle is undone by show().
    QObject::connect(checkBox, &QCheckBox::clicked, action, [action] { action->trigger(); });
}

} // namespace

QAction* TMainForm::NewAction(const char* name, const char* caption, const char* hint,
                              void (TMainForm::*handler)()) {
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(QLatin1String(name));
    action->setStatusTip(QString::fromLatin1(hint));
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void TMainForm::CreateActions() {
    FExit = NewAction("Exit", "&Exit", "Close the Orvelle application", &TMainForm::ExitExecute);
    FRadioInformation = NewAction("RadioInformation", "&Radio Information...",
                                  "See information about the Bluetooth radios in this computer",
                                  &TMainForm::RadioInformationExecute);
    FSetLocation = NewAction("SetLocation", "Set &Location...", "Specify the current location",
                             &TMainForm::SetLocationExecute);
    FSetLocation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    FAbout = NewAction("About", "&About Orvelle...", "See the version number and copyrigjt information",
                       &TMainForm::AboutExecute);
    FHelp = NewAction("Help", "&Help...", "Get help on Orvelle", &TMainForm::HelpExecute);
    FDeleteDevice = NewAction("DeleteDevice", "&Delete Device", "Delete the selected device from the list",
                              &TMainForm::DeleteDeviceExecute);
    FClearLog =
        NewAction("ClearLog", "&Clear Log", "Clear all messages from the log", &TMainForm::ClearLogExecute);
    FDeleteAllDevices = NewAction("DeleteAllDevices", "Delete &All Devices",
                                  "Delete all devices from the list", &TMainForm::DeleteAllDevicesExecute);
    FInspectDevice =
        NewAction("InspectDevice", "&Inspect Device...", "Inspect detailed information for the device",
                  &TMainForm::InspectDeviceExecute);
    FInspectDeviceItem =
        NewAction("InspectDeviceItem", "&Inspect Device...", "Inspect detailed information for the device",
                  &TMainForm::InspectDeviceExecute);
    FInspectDeviceItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    FHideInactive = NewAction("HideInactive", "Hide &Inactive Devices",
                              "Hide devices which have not been active in the last 5 minutes",
                              &TMainForm::HideInactiveExecute);
    FHideInactive->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    FHideInactive->setCheckable(true);
    FApplyFilter = NewAction("ApplyFilter", "&Apply Filter",
                             "Apply the selected filter in the filter tree to the device list",
                             &TMainForm::ApplyFilterExecute);
    FApplyFilter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    FApplyFilter->setCheckable(true);

    // Shortcuts work while the window is active, whichever control has the focus.
    addActions({FExit, FRadioInformation, FSetLocation, FAbout, FHelp, FDeleteDevice, FClearLog,
                FDeleteAllDevices, FInspectDevice, FInspectDeviceItem, FHideInactive, FApplyFilter});

    BindCheckBox(FApplyFilterButton, FApplyFilter);
    BindCheckBox(FCheckBox1, FHideInactive);
    ActionList1Update();
}

void TMainForm::CreateMenus() {
    QMenuBar* menu = menuBar();
    menu->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    file->addAction(FExit);
    QMenu* configure = menu->addMenu(QStringLiteral("&Configure"));
    configure->addAction(FSetLocation);
    configure->addSeparator();
    configure->addAction(FRadioInformation);
    QMenu* filter = menu->addMenu(QStringLiteral("&Filter"));
    filter->addAction(FApplyFilter);
    filter->addAction(FHideInactive);
    QMenu* manage = menu->addMenu(QStringLiteral("&Manage"));
    manage->addAction(FInspectDeviceItem);
    manage->addSeparator();
    manage->addAction(FDeleteDevice);
    manage->addAction(FDeleteAllDevices);
    manage->addSeparator();
    manage->addAction(FClearLog);
    QMenu* help = menu->addMenu(QStringLiteral("&Help"));
    help->addAction(FHelp);
    help->addSeparator();
    help->addAction(FAbout);

    FDeviceManageMenu = new QMenu(this);
    FDeviceManageMenu->setObjectName(QStringLiteral("DeviceManageMenu"));
    FDeviceManageMenu->addAction(FInspectDevice);
    FDeviceManageMenu->addSeparator();
    FDeviceManageMenu->addAction(FDeleteDevice);
    FDeviceTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FDeviceTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        FDeviceManageMenu->popup(FDeviceTree->viewport()->mapToGlobal(position));
    });
}

void TMainForm::ActionList1Update() {
    const bool selected = FDeviceTree->HasSelection();
    FDeleteDevice->setEnabled(selected);
    FInspectDevice->setEnabled(selected);
    FInspectDeviceItem->setEnabled(selected);
}

void TMainForm::ExitExecute() {
    close();
}

void TMainForm::RadioInformationExecute() {
    if (FRadioInfoForm)
        FRadioInfoForm->exec();
}

void TMainForm::SetLocationExecute() {
    if (!FChooseLocationForm || FChooseLocationForm->exec() != QDialog::Accepted)
        return;
    Session->SetLocation(FChooseLocationForm->ChosenLocation);
    AddLogLine("Moved to location: " + Session->Location());
}

void TMainForm::AboutExecute() {
    if (FAboutForm)
        FAboutForm->exec();
}

void TMainForm::HelpExecute() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ManualPath()));
}

void TMainForm::DeleteDeviceExecute() {
    if (!FDeviceTree->HasSelection())
        return;
    if (!Confirm(this, QStringLiteral("Are you sure you want to delete the selected device?")))
        return;
    const std::string address = FDeviceTree->SelectedAddress();
    {
        TDeviceListLock lock(Session->DeviceList());
        TDeviceList& list = Session->DeviceList();
        const TBTDevice* device = list.FindDevice(address);
        if (!device)
            return;
        for (int i = 0; i < list.Count(); ++i) {
            if (&list.GetDevice(i) == device) {
                list.Delete(i);
                break;
            }
        }
    }
    DeviceListChanged();
}

void TMainForm::DeleteAllDevicesExecute() {
    if (!Confirm(this, QStringLiteral("Are you sure you want to delete all discovered devices?")))
        return;
    {
        TDeviceListLock lock(Session->DeviceList());
        Session->DeviceList().Clear();
    }
    DeviceListChanged();
}

void TMainForm::ClearLogExecute() {
    if (!Confirm(this, QStringLiteral("Are you sure you want to delete all messages from the log?")))
        return;
    Session->Log.clear();
    FillLogList();
    SaveSession(*Session);
}

void TMainForm::InspectDeviceExecute() {
    if (!FDeviceTree->HasSelection() || !FDeviceDetailsForm)
        return;
    {
        TDeviceListLock lock(Session->DeviceList());
        const TBTDevice* device = Session->DeviceList().FindDevice(FDeviceTree->SelectedAddress());
        if (!device)
            return;
        FDeviceDetailsForm->SelectedAddress = device->Address;
    }
    // The lock is never held while the window is open: the scan goes on meanwhile.
    FDeviceDetailsForm->exec();
}

void TMainForm::HideInactiveExecute() {
    Session->HideInactive = FHideInactive->isChecked();
    DeviceListChanged();
}

void TMainForm::ApplyFilterExecute() {
    if (FApplyFilter->isChecked()) {
        FFilterTree->setEnabled(true);
    } else {
        FFilterTree->setEnabled(false);
        FFilterKind = fkNone;
    }
    BuildDeviceList();
}

} // namespace orvelle
