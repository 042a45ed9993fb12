// orvelle-main-shot: runs the main window on the demo scenario in a fresh session for a few seconds,
// selects a device and saves a picture of the window, for the README.
// Usage: orvelle-main-shot OUTPUT-FILE.
#include "app/DeviceListView.h"
#include "app/MainForm.h"
#include "bluetooth/DemoScenario.h"
#include "bluetooth/SimulatedRadio.h"
#include "inventory/SessionState.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace orvelle;
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvelle-main-shot OUTPUT-FILE\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Tamsholt Orvelle"));
    // One look on every desktop, as the window was designed for.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTemporaryDir directory;
    SetSessionFileName(directory.filePath(QStringLiteral("Orvelle.dat")).toStdString());
    SetPlatform(std::make_shared<TSimulatedRadio>(DemoScenario()));
    {
        TSessionState first;
        first.SetLocation("Reception");
        SaveSession(first);
    }

    TMainForm form;
    form.show();
    form.activateWindow();
    const QString file = QString::fromLocal8Bit(argv[1]);
    int status = 0;
    QTimer::singleShot(6000, &form, [&form, &file, &status] {
        TDeviceTreeView& tree = form.DeviceTree();
        if (tree.Model().rowCount() > 1)
            tree.selectionModel()->setCurrentIndex(
                tree.Model().index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QApplication::processEvents();
        if (!form.grab().save(file)) {
            std::fprintf(stderr, "orvelle-main-shot: cannot write %s\n", qPrintable(file));
            status = 1;
        }
        form.close();
    });
    QApplication::exec();
    return status;
}
