// The main window's layout and lifecycle: construction, first showing, closing, destruction, the
// refresh and rebuild requests, the event log and the scan indicator.
#include "app/MainForm.h"

#include "app/DeviceListView.h"
#include "app/ErrorDisplay.h"
#include "app/FoundSound.h"
#include "inventory/SessionState.h"
#include "inventory/Trace.h"
#include "inventory/Utils.h"
#include "resources/Images.h"
#include "windows/DisplayText.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstdio>

namespace orvelle {

namespace {

const QSize OuterSize(932, 585);

// A panel of fixed height whose one check box sits at a fixed place, as the filter panel's two
// bars are laid out.
QWidget* NewCheckBoxBar(QWidget* parent, const char* name, QCheckBox*& checkBox, const char* checkBoxName,
                        QRect place) {
    auto* bar = new QWidget(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setFixedHeight(20);
    checkBox = new QCheckBox(bar);
    checkBox->setObjectName(QLatin1String(checkBoxName));
    checkBox->setGeometry(place);
    return bar;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tamsholt Orvelle - Bluetooth Device Discovery"));
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);
    FErrorDisplay = [this](const QString& message) { ShowException(this, message); };

    FSession.reset(LoadSession());
    Session = FSession.get();
    CreateLayout();
    CreateActions();
    CreateMenus();

    FDiscoveryThread = std::make_unique<TDiscoveryThread>(true, FDispatcher, *this, *this);
    Session->DeviceList().SetChangeCallback([this] { DeviceDataChanged(); });
    AddLogLine("Scan started in location " + Session->Location());

    resize(OuterSize);
}

TMainForm::~TMainForm() {
    try {
        FDiscoveryThread->Terminate();
        FDiscoveryThread->WaitFor();
        AddLogLine("Scan finished");
        SaveSession(*Session);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "orvelle: %s\n", failure.what());
    }
    FDiscoveryThread.reset();
    Session->DeviceList().SetChangeCallback({});
    Session = nullptr;
}

void TMainForm::CreateLayout() {
    FMainTabs = new QTabWidget(this);
    FMainTabs->setObjectName(QStringLiteral("MainTabs"));
    FMainTabs->setDocumentMode(true);
    FMainTabs->setIconSize(QSize(ImageSize, ImageSize));
    setCentralWidget(FMainTabs);

    auto* networkSheet = new QWidget(FMainTabs);
    networkSheet->setObjectName(QStringLiteral("NetworkSheet"));
    auto* networkLayout = new QHBoxLayout(networkSheet);
    networkLayout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, networkSheet);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    networkLayout->addWidget(splitter);

    auto* filterPanel = new QWidget(splitter);
    filterPanel->setObjectName(QStringLiteral("FilterPanel"));
    auto* filterLayout = new QVBoxLayout(filterPanel);
    filterLayout->setContentsMargins(5, 5, 5, 5);
    filterLayout->setSpacing(0);
    filterLayout->addWidget(
        NewCheckBoxBar(filterPanel, "Panel1", FApplyFilterButton, "ApplyFilterButton", QRect(3, 0, 134, 17)));
    QFont bold = FApplyFilterButton->font();
    bold.setBold(true);
    FApplyFilterButton->setFont(bold);
    FFilterTree = new QTreeView(filterPanel);
    FFilterTree->setObjectName(QStringLiteral("FilterTree"));
    FFilterModel = new QStandardItemModel(FFilterTree);
    FFilterTree->setModel(FFilterModel);
    FFilterTree->setHeaderHidden(true);
    FFilterTree->setUniformRowHeights(true);
    FFilterTree->setAllColumnsShowFocus(true);
    FFilterTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FFilterTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(FFilterTree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Guarded([this] { FilterTreeChange(); }); });
    filterLayout->addWidget(FFilterTree);
    filterLayout->addWidget(
        NewCheckBoxBar(filterPanel, "Panel2", FCheckBox1, "CheckBox1", QRect(3, 2, 158, 17)));

    FDeviceTree = new TDeviceTreeView(FSession->DeviceList(), splitter);
    FDeviceTree->setObjectName(QStringLiteral("DeviceTree"));
    FDeviceTree->SetHeaderClick([this](int column) {
        Guarded([this, column] {
            FDeviceTree->DeviceTreeHeaderClick(column);
            BuildDeviceList();
        });
    });
    connect(FDeviceTree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMainForm::ActionList1Update);
    connect(&FDeviceTree->Model(), &QAbstractItemModel::modelReset, this, &TMainForm::ActionList1Update);
    FDeviceTree->SetInspect([this] { Guarded([this] { InspectDeviceExecute(); }); });
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({233, 932 - 233});

    FMainTabs->addTab(networkSheet, TabImages()[0], QStringLiteral("Network"));

    auto* logSheet = new QWidget(FMainTabs);
    logSheet->setObjectName(QStringLiteral("LogSheet"));
    auto* logLayout = new QVBoxLayout(logSheet);
    logLayout->setContentsMargins(0, 0, 0, 0);
    FLogList = new QListWidget(logSheet);
    FLogList->setObjectName(QStringLiteral("LogList"));
    FLogList->setUniformItemSizes(true);
    logLayout->addWidget(FLogList);
    FMainTabs->addTab(logSheet, TabImages()[1], QStringLiteral("Log"));

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setFixedHeight(22);
    FHintPanel = new QLabel(bar);
    FHintPanel->setObjectName(QStringLiteral("HintPanel"));
    FHintPanel->setFixedWidth(300);
    FScanPanel = new QLabel(bar);
    FScanPanel->setObjectName(QStringLiteral("ScanPanel"));
    FScanPanel->setFixedWidth(30);
    for (QLabel* panel : {FHintPanel, FScanPanel}) {
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
    }

    FScanIndicatorFade = new QTimer(this);
    FScanIndicatorFade->setObjectName(QStringLiteral("ScanIndicatorFade"));
    FScanIndicatorFade->setInterval(200);
    connect(FScanIndicatorFade, &QTimer::timeout, this, &TMainForm::ScanIndicatorFadeTimer);
    FScanIndicatorFade->start();
}

void TMainForm::SetWindows(TRadioInfoForm* radioInfo, TDeviceDetailsForm* deviceDetails,
                           TChooseLocationForm* chooseLocation, TAboutForm* about) {
    FRadioInfoForm = radioInfo;
    FDeviceDetailsForm = deviceDetails;
    FChooseLocationForm = chooseLocation;
    FAboutForm = about;
}

QTreeView& TMainForm::FilterTree() {
    return *FFilterTree;
}

void TMainForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        FErrorDisplay(CodePageToQString(failure.what()));
    } catch (...) {
        FErrorDisplay(QString());
    }
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == UM_LISTCHANGED) {
        const int wParam = static_cast<TListChangedEvent*>(event)->WParam;
        Guarded([this, wParam] { UMListChanged(wParam); });
        return true;
    }
    if (event->type() == QEvent::StatusTip) {
        // The hint of the menu item or control under the pointer goes to the first panel; the status
        // bar's own message line is not used, since it would hide both panels.
        FHintPanel->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] { FormShow(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    Guarded([this] { FormClose(); });
    event->accept();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormShow() {
    if (!FShown) {
        // The outer size counts the frame, which is known once the window is shown.
        FShown = true;
        resize(OuterSize - (frameGeometry().size() - size()));
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - frameGeometry().center() + pos());
    }
    FMainTabs->setCurrentIndex(0);
    FHideInactive->setChecked(Session->HideInactive);
    FApplyFilter->setChecked(true);
    FFilterKind = fkLastSeen;
    FFilterValue = "Now";
    FDiscoveryThread->Resume();
    BuildFilterTree();
    FillLogList();
    BuildDeviceList();
}

void TMainForm::FormClose() {
    SaveSession(*Session);
}

void TMainForm::FormResize() {
    FHintPanel->setFixedWidth(std::max(0, frameGeometry().width() - 60));
}

void TMainForm::UMListChanged(int wParam) {
    ORVELLE_TRACE_ENTER("TMainForm::UMListChanged");
    if (wParam == lcRefresh) {
        FDeviceTree->viewport()->update();
        BuildFilterTree();
    } else if (wParam == lcRebuild) {
        SaveSession(*Session);
        BuildDeviceList();
        BuildFilterTree();
    }
    ORVELLE_TRACE_EXIT("TMainForm::UMListChanged");
}

void TMainForm::DeviceListChanged() {
    ORVELLE_TRACE_ENTER("TMainForm::DeviceListChanged");
    QCoreApplication::postEvent(this, new TListChangedEvent(lcRebuild));
    ORVELLE_TRACE_EXIT("TMainForm::DeviceListChanged");
}

void TMainForm::DeviceDataChanged() {
    QCoreApplication::postEvent(this, new TListChangedEvent(lcRefresh));
}

void TMainForm::PlaySound(const std::string& fileName) {
    PlayFoundSound(fileName);
}

void TMainForm::AddLogLine(const std::string& text) {
    const std::string line = TimeText(Now()) + ": " + text;
    Session->Log.insert(Session->Log.begin(), line);
    FLogList->insertItem(0, CodePageToQString(line));
    SaveSession(*Session);
}

void TMainForm::FillLogList() {
    FLogList->clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(Session->Log.size()));
    for (const std::string& line : Session->Log)
        lines.append(CodePageToQString(line));
    FLogList->addItems(lines);
}

void TMainForm::StartScanIndicator() {
    FScanIndicatorCount = 5;
    FScanPanel->setText(QStringLiteral("Scan"));
}

void TMainForm::ScanIndicatorFadeTimer() {
    if (FScanIndicatorCount > 0)
        statusBar()->update();
    else if (FScanIndicatorCount == 0)
        FScanPanel->setText(QString());
    // The count stops at -1 rather than running on towards an overflow; below 0 it has no effect.
    if (FScanIndicatorCount >= 0)
        --FScanIndicatorCount;
}

} // namespace orvelle
