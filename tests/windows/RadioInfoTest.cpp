// The radio information window: the radios read afresh at each showing, the combo items, the labels,
// the type picture, and a radio that cannot be read.
#include "windows/RadioInfoWindow.h"

#include "FakePlatform.h"
#include "ModalHelpers.h"
#include "inventory/Errors.h"
#include "resources/Images.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace orvelle {
namespace {

using test::TFakePlatform;
using test::TFakeRadio;

TFakeRadio Radio(const std::u16string& name, std::array<std::uint8_t, 6> address, std::uint32_t classOfDevice,
                 std::uint16_t manufacturer, std::uint16_t version, bool discoverable, bool connectable) {
    return TFakeRadio{TRadioInformation{address, name, classOfDevice, version, manufacturer}, discoverable,
                      connectable};
}

// The lab radio of the tests: address 00:0A:3A:12:34:56 (stored least significant byte first), a
// desktop computer's class, the highest version number, neither discoverable nor connectable.
TFakeRadio LabRadio() {
    return Radio(u"Lab radio", {0x56, 0x34, 0x12, 0x3A, 0x0A, 0x00}, 0x104, 10, 65535, false, false);
}

QImage Blank() {
    QImage image(ImageSize, ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage Picture(TDeviceType type) {
    QImage image = Blank();
    QPainter painter(&image);
    DeviceImages().at(type).paint(&painter, QRect(0, 0, ImageSize, ImageSize), Qt::AlignLeft | Qt::AlignTop,
                                  QIcon::Normal);
    return image;
}

class RadioInfoTest : public testing::Test {
protected:
    QString Text(const char* name) {
        auto* label = Form.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(name));
    }
    QComboBox* Combo() { return Form.findChild<QComboBox*>(QStringLiteral("RadioCombo")); }
    QImage TypeIcon() {
        QImage image = Blank();
        Form.findChild<QWidget*>(QStringLiteral("TypeIcon"))->render(&image, QPoint(), QRegion(), {});
        return image;
    }
    void ExpectLabels(std::initializer_list<std::pair<const char*, QString>> expected) {
        for (const auto& [name, text] : expected)
            EXPECT_EQ(Text(name), text) << name;
    }
    void ExpectNothingShown() {
        EXPECT_EQ(Combo()->count(), 0);
        EXPECT_EQ(Combo()->currentIndex(), -1);
        ExpectLabels({{"Name", {}},
                      {"Address", {}},
                      {"Manufacturer", {}},
                      {"Version", {}},
                      {"COD", {}},
                      {"Discoverable", {}},
                      {"Connectable", {}}});
        EXPECT_EQ(TypeIcon(), Blank());
    }

    TFakePlatform Platform;
    TRadioInfoForm Form{Platform};
};

TEST_F(RadioInfoTest, OneRadioIsSelectedAndShown) {
    Platform.Radios = {LabRadio()};
    Form.FormShow();

    ASSERT_EQ(Combo()->count(), 1);
    EXPECT_EQ(Combo()->itemText(0), QStringLiteral("Lab radio (Cambridge Silicon Radio)"));
    EXPECT_EQ(Combo()->currentIndex(), 0);
    ExpectLabels({{"Name", QStringLiteral("Lab radio")},
                  {"Address", QStringLiteral("00:0A:3A:12:34:56")},
                  {"Manufacturer", QStringLiteral("Cambridge Silicon Radio")},
                  {"Version", QStringLiteral("65535")},
                  {"COD", QStringLiteral("Desktop Computer")},
                  {"Discoverable", QStringLiteral("No")},
                  {"Connectable", QStringLiteral("No")}});

    ASSERT_EQ(Form.Radios.size(), 1u);
    const TRadioInfo& radio = *Form.Radios[0];
    EXPECT_EQ(radio.MajorClass, 1);
    EXPECT_EQ(radio.MinorClass, 1);
    EXPECT_EQ(radio.Type, DeviceTypeOf(1, 1));
    EXPECT_EQ(TypeIcon(), Picture(radio.Type));
    EXPECT_NE(TypeIcon(), Picture(dtPhone));
}

TEST_F(RadioInfoTest, EveryHandleIsClosed) {
    Platform.Radios = {LabRadio(), LabRadio()};
    Form.FormShow();
    EXPECT_TRUE(Platform.OpenRadios.empty());
    EXPECT_EQ(Platform.OpenSearches, 0);
}

TEST_F(RadioInfoTest, SelectingAnotherRadioShowsIt) {
    Platform.Radios = {LabRadio(),
                       Radio(u"Dongle \u00e9t\u00e9", {1, 2, 3, 4, 5, 6}, 0x20C, 15, 7, true, true)};
    Form.FormShow();
    ASSERT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->itemText(1), QStringLiteral("Dongle \u00e9t\u00e9 (Broadcom Corporation)"));

    QTest::keyClick(Combo(), Qt::Key_Down);
    EXPECT_EQ(Combo()->currentIndex(), 1);
    ExpectLabels({{"Name", QStringLiteral("Dongle \u00e9t\u00e9")},
                  {"Address", QStringLiteral("06:05:04:03:02:01")},
                  {"Manufacturer", QStringLiteral("Broadcom Corporation")},
                  {"Version", QStringLiteral("7")},
                  {"COD", QStringLiteral("Smart Phone")},
                  {"Discoverable", QStringLiteral("Yes")},
                  {"Connectable", QStringLiteral("Yes")}});
    EXPECT_EQ(TypeIcon(), Picture(DeviceTypeOf(2, 3)));
}

TEST_F(RadioInfoTest, NoRadioShowsNothing) {
    Platform.Radios = {LabRadio()};
    Form.FormShow();
    Platform.Radios.clear();
    Form.FormShow();
    EXPECT_TRUE(Form.Radios.empty());
    ExpectNothingShown();
}

TEST_F(RadioInfoTest, RadiosAreReadAfreshAtEachShowing) {
    Platform.Radios = {LabRadio()};
    Form.FormShow();
    Platform.Radios.push_back(Radio(u"Second", {}, 0, 1, 1, true, false));
    Form.FormShow();
    ASSERT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->itemText(1), QStringLiteral("Second (Nokia Mobile Phones)"));
    EXPECT_EQ(Form.Radios.size(), 2u);
}

TEST_F(RadioInfoTest, UnreadableRadioEndsTheShowingWithItsError) {
    Platform.Radios = {LabRadio(), LabRadio(), LabRadio()};
    Platform.FailingRadio = 1;
    try {
        Form.FormShow();
        ADD_FAILURE() << "no error raised";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to read radio information: " + LastErrorText(leAccessDenied));
    }
    EXPECT_EQ(Form.Radios.size(), 1u);
    EXPECT_EQ(Combo()->count(), 0);
    EXPECT_TRUE(Platform.OpenRadios.empty());
    EXPECT_EQ(Platform.OpenSearches, 0);
}

TEST_F(RadioInfoTest, UnreadableRadioIsNotShown) {
    Platform.Radios = {LabRadio()};
    Platform.FailingRadio = 0;
    EXPECT_THROW(Form.exec(), EOrvelleError);
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(RadioInfoTest, RadioDataIsPlainText) {
    Platform.Radios = {Radio(u"<b>radio</b>", {}, 0, 0, 0, false, false)};
    Form.FormShow();
    EXPECT_EQ(Text("Name"), QStringLiteral("<b>radio</b>"));
    for (const char* name :
         {"Name", "Address", "Manufacturer", "Version", "COD", "Discoverable", "Connectable"})
        EXPECT_EQ(Form.findChild<QLabel*>(QString::fromLatin1(name))->textFormat(), Qt::PlainText) << name;
}

} // namespace
} // namespace orvelle
