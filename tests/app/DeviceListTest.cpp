// The device list: what each cell shows, the sort cycle, the kept selection, and the gestures that
// select and inspect.
#include "AppTestSupport.h"

#include "app/DeviceCell.h"
#include "inventory/Descriptions.h"

#include <QHeaderView>
#include <QTest>

namespace orvelle::test {
namespace {

using DeviceListTest = TAppTest;

TEST_F(DeviceListTest, CellsShowTheRecordAndGreyOnlyAfterThreeHundredSeconds) {
    TBTDevice device;
    device.Name = "Organizer";
    device.Address = "(00:0A:3A:54:12:34)";
    device.FirstSeen = TestNow - 3600;
    device.SeenCount = 3;
    device.Location = "Lab";
    device.SetMajorClass(2);
    device.SetMinorClass(3);

    struct TCase {
        std::int32_t Age;
        bool Active;
    };
    for (const TCase& c : {TCase{0, true}, TCase{300, true}, TCase{301, false}}) {
        device.LastSeen = TestNow - c.Age;
        EXPECT_EQ(DeviceCellOf(device, dcName).Active, c.Active) << "age " << c.Age;
    }

    const TDeviceCell name = DeviceCellOf(device, dcName);
    EXPECT_EQ(name.Picture, device.Type);
    EXPECT_TRUE(name.Line1Bold);
    EXPECT_EQ(name.Line1, QStringLiteral("Organizer"));
    EXPECT_EQ(name.Line2, QStringLiteral("(00:0A:3A:54:12:34)"));

    const TDeviceCell seen = DeviceCellOf(device, dcSeen);
    EXPECT_EQ(seen.Line1, QStringLiteral("11/14/23 at 21:13:20"));
    EXPECT_EQ(seen.Count, QStringLiteral("(3)"));
    EXPECT_EQ(seen.Line2, QStringLiteral("11/14/23 at 22:08:19"));

    const TDeviceCell type = DeviceCellOf(device, dcTypeFlags);
    EXPECT_EQ(type.Line1.toStdString(), ClassOfDeviceText(2, 3));
    EXPECT_EQ(type.Line2.toStdString(), FlagsText(device));
    EXPECT_EQ(DeviceCellOf(device, dcLocation).Line1, QStringLiteral("Lab"));
    EXPECT_EQ(DeviceCellOf(device, dcLocation).Picture, -1);
}

TEST_F(DeviceListTest, TimeZeroShowsNothingButTheSeenCount) {
    TBTDevice device;
    device.FirstSeen = 0;
    device.LastSeen = 0;
    device.SeenCount = 7;
    const TDeviceCell seen = DeviceCellOf(device, dcSeen);
    EXPECT_EQ(seen.Line1, QString());
    EXPECT_EQ(seen.Count, QStringLiteral("(7)"));
    EXPECT_EQ(seen.Line2, QString());
}

TEST_F(DeviceListTest, RowsAreThirtyTwoPixelsHighAndDrawWithoutFailure) {
    TMainForm& form = NewForm();
    AddDevice("Phone", "(00:00:00:00:00:01)");
    form.BuildDeviceList();
    TDeviceTreeView& tree = form.DeviceTree();
    EXPECT_EQ(tree.visualRect(tree.Model().index(0, 0)).height(), DeviceRowHeight);
    EXPECT_FALSE(tree.grab().isNull());
}

class DeviceListSortTest : public TAppTest {
protected:
    void SetUp() override {
        TAppTest::SetUp();
        NewForm();
        // In list order: names B A C, locations y z x, last seen 2 3 1 (oldest first), classes 2 3 1.
        AddDevice("Beta", "(00:00:00:00:00:01)", TestNow - 20, "y", 2, 0);
        AddDevice("Alpha", "(00:00:00:00:00:02)", TestNow - 10, "z", 3, 0);
        AddDevice("Gamma", "(00:00:00:00:00:03)", TestNow - 30, "x", 1, 0);
        FForm->BuildFilterTree();
        FForm->BuildDeviceList();
    }

    void ClickHeader(int column, Qt::MouseButton button = Qt::LeftButton) {
        QHeaderView* header = FForm->DeviceTree().header();
        const int x = header->sectionViewportPosition(column) + 10;
        QTest::mouseClick(header->viewport(), button, Qt::NoModifier, QPoint(x, header->height() / 2));
    }

    std::string Order() {
        std::string order;
        for (const std::string& address : ListedAddresses())
            order += address[17];
        return order;
    }
};

TEST_F(DeviceListSortTest, EachColumnCyclesAscendingDescendingUnsorted) {
    struct TCase {
        int Column;
        const char* Ascending;
        const char* Descending;
    };
    const TCase cases[] = {{dcName, "213", "312"},
                           {dcSeen, "312", "213"},
                           {dcTypeFlags, "312", "213"},
                           {dcLocation, "312", "213"}};
    for (const TCase& c : cases) {
        ClickHeader(c.Column);
        EXPECT_EQ(Order(), c.Ascending) << "column " << c.Column;
        EXPECT_EQ(FForm->DeviceTree().header()->sortIndicatorSection(), c.Column);
        EXPECT_EQ(FForm->DeviceTree().header()->sortIndicatorOrder(), Qt::AscendingOrder);
        ClickHeader(c.Column);
        EXPECT_EQ(Order(), c.Descending) << "column " << c.Column;
        EXPECT_EQ(FForm->DeviceTree().header()->sortIndicatorOrder(), Qt::DescendingOrder);
        ClickHeader(c.Column);
        EXPECT_EQ(Order(), "123") << "column " << c.Column;
        EXPECT_EQ(FForm->DeviceTree().SortColumn(), -1);
    }
}

TEST_F(DeviceListSortTest, EveryMouseButtonClicksAHeader) {
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        ClickHeader(dcName, button);
        EXPECT_EQ(Order(), "213") << "button " << button;
        ClickHeader(dcName, button);
        EXPECT_EQ(Order(), "312") << "button " << button;
        ClickHeader(dcName, button);
        EXPECT_EQ(Order(), "123") << "button " << button;
    }
    // A press on one header and a release on another is no click.
    QHeaderView* header = FForm->DeviceTree().header();
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(dcName) + 10, y));
    QTest::mouseRelease(header->viewport(), Qt::RightButton, Qt::NoModifier,
                        QPoint(header->sectionViewportPosition(dcLocation) + 10, y));
    EXPECT_EQ(FForm->DeviceTree().SortColumn(), -1);
}

TEST_F(DeviceListSortTest, AnotherColumnSortsAscendingAtOnce) {
    ClickHeader(dcName);
    ClickHeader(dcLocation);
    EXPECT_EQ(Order(), "312");
    EXPECT_EQ(FForm->DeviceTree().SortDirection(), Qt::AscendingOrder);
}

TEST_F(DeviceListSortTest, SelectionSurvivesARebuildAndASortButNotTheFilter) {
    SelectDevice("(00:00:00:00:00:02)");
    FForm->BuildDeviceList();
    EXPECT_EQ(FForm->DeviceTree().SelectedAddress(), "(00:00:00:00:00:02)");
    ClickHeader(dcName);
    EXPECT_EQ(FForm->DeviceTree().SelectedAddress(), "(00:00:00:00:00:02)");

    SelectFilter(QStringLiteral("y (1)"));
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:01)"});
    EXPECT_FALSE(FForm->DeviceTree().HasSelection());
}

TEST_F(DeviceListSortTest, RightClickSelectsTheRowUnderThePointer) {
    TDeviceTreeView& tree = FForm->DeviceTree();
    const QRect row = tree.visualRect(tree.Model().index(1, 0));
    QTest::mousePress(tree.viewport(), Qt::RightButton, Qt::NoModifier, row.center());
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, Qt::NoModifier, row.center());
    EXPECT_EQ(tree.SelectedAddress(), "(00:00:00:00:00:02)");
}

TEST_F(DeviceListSortTest, EnterAndDoubleClickInspectOtherKeysDoNot) {
    int inspected = 0;
    TDeviceTreeView& tree = FForm->DeviceTree();
    tree.SetInspect([&inspected] { ++inspected; });
    SelectDevice("(00:00:00:00:00:01)");
    PressKey(&tree, Qt::Key_Return);
    EXPECT_EQ(inspected, 1);
    PressKey(&tree, Qt::Key_Down);
    PressKey(&tree, Qt::Key_A);
    EXPECT_EQ(inspected, 1);
    EXPECT_EQ(tree.SelectedAddress(), "(00:00:00:00:00:02)") << "the tree's own navigation";
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(5, tree.viewport()->height() - 3));
    EXPECT_EQ(inspected, 2) << "a double click anywhere inspects";
}

} // namespace
} // namespace orvelle::test
