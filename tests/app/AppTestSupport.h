// Helpers of the app tests: a fixture with a temporary session file, a fixed clock and an empty
// simulated radio; devices put straight into the session; answers to modal boxes; the filter tree's
// texts.
#pragma once

#include "app/DeviceListView.h"
#include "app/MainForm.h"
#include "bluetooth/SimulatedRadio.h"
#include "bluetooth/sdp/SdpBuilder.h"
#include "inventory/SessionState.h"
#include "inventory/Utils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvelle::test {

// 2023-11-14 22:13:20 UTC.
inline constexpr std::int32_t TestNow = 1700000000;

class TAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDirectory.isValid());
        SetSessionFileName(SessionPath());
        SetPlatform(std::make_shared<TSimulatedRadio>(TScenario{}));
        FNow = TestNow;
        SetClock([this] { return FNow.load(); });
    }

    void TearDown() override {
        FForm.reset();
        SetClock({});
    }

    std::string SessionPath() const {
        return FDirectory.filePath(QStringLiteral("Orvelle.dat")).toStdString();
    }

    // A main window on the session file; SHOW runs its first showing (which also starts the scan of
    // the empty radio).
    TMainForm& NewForm(bool show = true) {
        FForm = std::make_unique<TMainForm>();
        FForm->SetErrorDisplay([this](const QString& message) { Errors.push_back(message); });
        if (show)
            FForm->show();
        return *FForm;
    }

    // A device seen once, at LASTSEEN, whose records name SERVICES.
    static void AddDevice(const std::string& name, const std::string& address,
                          std::int32_t lastSeen = TestNow, const std::string& location = "",
                          std::int32_t major = 2, std::int32_t minor = 3,
                          const std::vector<std::string>& services = {}) {
        TDeviceListLock lock(Session->DeviceList());
        TBTDevice& device = Session->DeviceList().AddDevice(address);
        device.Name = name;
        device.FirstSeen = lastSeen;
        device.LastSeen = lastSeen;
        device.SeenCount = 1;
        device.Location = location;
        device.SetMajorClass(major);
        device.SetMinorClass(minor);
        for (const std::string& service : services)
            device.RawSDPRecords.push_back(TSdpRecord{{0x0100, TSdpData::Text(service)}}.Bytes());
    }

    // Runs the posted requests.
    static void Pump() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    std::vector<std::string> ListedAddresses() {
        std::vector<std::string> addresses;
        for (int row = 0; row < FForm->DeviceTree().Model().rowCount(); ++row)
            addresses.push_back(FForm->DeviceTree().Model().Address(row));
        return addresses;
    }

    void SelectDevice(const std::string& address) {
        TDeviceTreeView& tree = FForm->DeviceTree();
        for (int row = 0; row < tree.Model().rowCount(); ++row)
            if (tree.Model().Address(row) == address)
                tree.selectionModel()->setCurrentIndex(tree.Model().index(row, 0),
                                                       QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    }

    // The filter tree's displayed texts in display order, groups indented by two blanks.
    std::vector<QString> FilterTexts() {
        std::vector<QString> texts;
        QAbstractItemModel* model = FForm->FilterTree().model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex category = model->index(row, 0);
            texts.push_back(category.data().toString());
            for (int child = 0; child < model->rowCount(category); ++child)
                texts.push_back(QStringLiteral("  ") + model->index(child, 0, category).data().toString());
        }
        return texts;
    }

    // Selects the filter node whose displayed text is TEXT (first in display order).
    void SelectFilter(const QString& text) {
        QAbstractItemModel* model = FForm->FilterTree().model();
        const QModelIndexList found =
            model->match(model->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        FForm->FilterTree().selectionModel()->setCurrentIndex(found.first(),
                                                              QItemSelectionModel::ClearAndSelect);
    }

    QString SelectedFilter() {
        const QModelIndexList selected = FForm->FilterTree().selectionModel()->selectedIndexes();
        return selected.isEmpty() ? QString() : selected.first().data().toString();
    }

    QTemporaryDir FDirectory;
    std::atomic<std::int32_t> FNow{TestNow};
    std::unique_ptr<TMainForm> FForm;
    std::vector<QString> Errors;
};

// Answers the next modal box with ANSWER, run from the event loop once the box is open.
inline void WhenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

// Clicks the button of the open modal box whose text is TEXT.
inline void ClickButton(QWidget* box, const QString& text) {
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
}

inline void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

} // namespace orvelle::test
