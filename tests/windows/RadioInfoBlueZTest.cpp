// The radio information window over the BlueZ backend, against the mock daemon: the adapters the
// daemon knows, with the state it reports and the fallbacks for what only the kernel could tell.
#include "windows/RadioInfoWindow.h"

#include "bluetooth/bluez/BlueZPlatform.h"
#include "tests/bluez/MockBlueZ.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace orvelle {
namespace {

using test::TMockBlueZ;
using test::TMockBlueZOnBus;
using test::TPrivateBus;

TEST(RadioInfoOverBlueZTest, ShowsTheDaemonsAdapters) {
    TMockBlueZOnBus daemon;
    ASSERT_TRUE(daemon.Running()) << "the private bus or the bluez5 mock did not start";
    TMockBlueZ& mock = daemon.Mock;
    mock.AddAdapter("hci0", "Lab computer");
    mock.AddAdapter("hci1", "Spare");
    mock.SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Alias", "s", "Spare \xC3\xBC<b>");
    mock.SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Discoverable", "b", 1);
    mock.SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Class", "u", 0x5A020C);
    mock.SetProperty("/org/bluez/hci1", "org.bluez.Adapter1", "Powered", "b", 0);

    const auto platform = CreateBlueZPlatform();
    TRadioInfoForm form(*platform);
    form.FormShow();
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("RadioCombo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);

    // This kernel offers no Bluetooth sockets: no maker or version can be read, and the adapter's
    // powered state stands for connectable.
    struct TCase {
        QString Item;
        QString Name;
        QString Address;
        QString ClassText;
        QString Discoverable;
        QString Connectable;
    };
    const TCase cases[] = {
        {QStringLiteral("Lab computer (Unknown)"), QStringLiteral("Lab computer"),
         QStringLiteral("00:01:02:03:04:05"), QStringLiteral("Laptop Computer"), QStringLiteral("No"),
         QStringLiteral("Yes")},
        {QStringLiteral("Spare \u00FC<b> (Unknown)"), QStringLiteral("Spare \u00FC<b>"),
         QStringLiteral("01:02:03:04:05:06"), QStringLiteral("Smart Phone"), QStringLiteral("Yes"),
         QStringLiteral("No")},
    };
    for (int index = 0; index < combo->count(); ++index) {
        const TCase& expected = cases[index];
        // Chosen as a person would, so that the window's own selection handling runs.
        if (index > 0)
            QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(combo->currentIndex(), index);
        EXPECT_EQ(combo->itemText(index), expected.Item);
        const std::pair<const char*, QString> labels[] = {
            {"Name", expected.Name},
            {"Address", expected.Address},
            {"Manufacturer", QStringLiteral("Unknown")},
            {"Version", QStringLiteral("0")},
            {"COD", expected.ClassText},
            {"Discoverable", expected.Discoverable},
            {"Connectable", expected.Connectable},
        };
        for (const auto& [name, text] : labels) {
            auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
            ASSERT_NE(label, nullptr) << name;
            EXPECT_EQ(label->text(), text) << name << " of " << expected.Item.toStdString();
        }
    }
}

// When the daemon is gone the window shows no radio rather than failing.
TEST(RadioInfoOverBlueZTest, NoDaemonShowsNoRadio) {
    TPrivateBus bus;
    ASSERT_TRUE(bus.Running()) << "dbus-daemon did not start";
    const auto platform = CreateBlueZPlatform();
    TRadioInfoForm form(*platform);
    form.FormShow();
    EXPECT_TRUE(form.Radios.empty());
    EXPECT_EQ(form.findChild<QComboBox*>(QStringLiteral("RadioCombo"))->count(), 0);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Name"))->text(), QString());
}

} // namespace
} // namespace orvelle
