// The filter tree: categories, groups and counts, case folding, "None", re-selection by text, the
// last-seen age texts, and the two options Apply Filter and Hide Inactive Devices.
#include "AppTestSupport.h"

#include "app/DeviceFilter.h"
#include "inventory/Descriptions.h"

#include <QAction>
#include <QFont>

#include <algorithm>
#include <ctime>

namespace orvelle::test {
namespace {

class FilterTreeTest : public TAppTest {
protected:
    bool Shows(const QString& text) {
        const std::vector<QString> texts = FilterTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

std::int32_t Utc(int year, int month, int day, int hour, int minute) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    return static_cast<std::int32_t>(timegm(&fields));
}

TEST(AgeBucketTextTest, AgesFallIntoTheirBucketsByLocalCalendar) {
    struct TCase {
        std::int32_t Now;
        std::int32_t Time;
        const char* Text;
    };
    const std::int32_t evening = Utc(2023, 11, 14, 23, 30);
    const TCase cases[] = {
        {evening, evening - 4 * 60, "Now"},
        {evening, evening - 299, "Now"},
        {evening, evening + 100, "Now"},
        {evening, evening - 300, "Last Hour"},
        {evening, evening - 40 * 60, "Last Hour"},
        {evening, Utc(2023, 11, 14, 22, 0), "Today"},
        {evening, Utc(2023, 11, 14, 0, 0), "Today"},
        {evening, Utc(2023, 11, 13, 23, 59), "Yesterday"},
        {evening, Utc(2023, 11, 13, 0, 0), "Yesterday"},
        {evening, Utc(2023, 11, 12, 23, 59), "This Month"},
        {evening, Utc(2023, 11, 1, 0, 0), "This Month"},
        {evening, Utc(2023, 10, 31, 23, 59), "Old"},
        {Utc(2023, 12, 1, 12, 0), Utc(2023, 11, 30, 12, 0), "Yesterday"},
        {Utc(2024, 1, 1, 0, 50), Utc(2023, 12, 31, 23, 50), "Old"},
        {Utc(2024, 1, 1, 0, 40), Utc(2023, 12, 31, 23, 50), "Last Hour"},
        {Utc(2024, 1, 1, 0, 0), 0, "Old"},
    };
    for (const TCase& c : cases)
        EXPECT_STREQ(TAgeBuckets(c.Now).Text(c.Time), c.Text) << "now " << c.Now << ", time " << c.Time;
}

// Local time is TZ (a POSIX zone rule) while it lives; the tests' own zone, UTC, comes back after.
class TLocalZone {
public:
    explicit TLocalZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TLocalZone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    TLocalZone(const TLocalZone&) = delete;
    TLocalZone& operator=(const TLocalZone&) = delete;
};

TEST(AgeBucketTextTest, DaysAndMonthsAreThoseOfTheLocalCalendar) {
    struct TCase {
        const char* Zone;
        std::int32_t Now;
        std::int32_t Time;
        const char* Text;
    };
    // XST-10 is ten hours ahead of UTC; EST5EDT left summer time at 02:00 local on 5 November 2023.
    const TCase cases[] = {
        {"XST-10", Utc(2023, 11, 14, 23, 30), Utc(2023, 11, 14, 14, 0), "Today"},
        {"XST-10", Utc(2023, 11, 14, 23, 30), Utc(2023, 11, 14, 13, 59), "Yesterday"},
        {"XST-10", Utc(2023, 11, 30, 20, 0), Utc(2023, 11, 30, 8, 0), "Yesterday"},
        {"XST-10", Utc(2023, 11, 30, 20, 0), Utc(2023, 11, 29, 8, 0), "Old"},
        {"XST-10", Utc(2023, 12, 31, 15, 0), Utc(2023, 12, 31, 13, 30), "Old"},
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2023, 11, 6, 8, 0), Utc(2023, 11, 5, 4, 0), "Yesterday"},
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2023, 11, 6, 8, 0), Utc(2023, 11, 5, 3, 59), "This Month"},
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2023, 11, 6, 8, 0), Utc(2023, 11, 6, 5, 0), "Today"},
        {"EST5EDT,M3.2.0,M11.1.0", Utc(2023, 11, 6, 8, 0), Utc(2023, 11, 6, 4, 59), "Yesterday"},
    };
    for (const TCase& c : cases) {
        TLocalZone zone(c.Zone);
        EXPECT_STREQ(TAgeBuckets(c.Now).Text(c.Time), c.Text)
            << c.Zone << ": now " << c.Now << ", time " << c.Time;
    }
}

TEST(FoldedTextTest, LettersOfTheCodePageCompareWithoutCase) {
    struct TCase {
        const char* A;
        const char* B;
        bool Equal;
    };
    const TCase cases[] = {
        {"Lab 12-B", "lAB 12-b", true},
        {"\xC9TAGE \x8A", "\xE9tage \x9A", true}, // É/é and Š/š
        {"a", "b", false},
        {"\xD7", "\xF7", false}, // × and ÷ are no letters
        {"Lab", "Lab ", false},
        {"", "", true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(EqualFolded(c.A, c.B), c.Equal) << c.A << " / " << c.B;
        if (c.Equal) {
            EXPECT_EQ(HashFolded(c.A), HashFolded(c.B)) << c.A;
        }
    }
}

TEST_F(FilterTreeTest, EmptyInventoryShowsFourBoldCategories) {
    TMainForm& form = NewForm();
    const std::vector<QString> expected{QStringLiteral("Last Seen"), QStringLiteral("Location"),
                                        QStringLiteral("Type"), QStringLiteral("Services")};
    EXPECT_EQ(FilterTexts(), expected);
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE(form.FilterTree().model()->index(row, 0).data(Qt::FontRole).value<QFont>().bold());
}

TEST_F(FilterTreeTest, GroupsCountInOrderMetWithFirstFormAndNoneForEmptyKeys) {
    TMainForm& form = NewForm();
    const std::string phone = ClassOfDeviceText(2, 3);
    AddDevice("A", "(00:00:00:00:00:01)", TestNow - 7200, "Lab", 2, 3, {"OBEX Object Push", "Headset"});
    AddDevice("B", "(00:00:00:00:00:02)", TestNow, "lab", 2, 3, {"obex object push", "OBEX Object Push"});
    AddDevice("C", "(00:00:00:00:00:03)", TestNow, "", 1, 1, {});
    form.BuildFilterTree();
    const std::vector<QString> expected{
        QStringLiteral("Last Seen"),
        QStringLiteral("  Today (1)"),
        QStringLiteral("  Now (2)"),
        QStringLiteral("Location"),
        QStringLiteral("  Lab (2)"),
        QStringLiteral("  None (1)"),
        QStringLiteral("Type"),
        QStringLiteral("  %1 (2)").arg(QString::fromStdString(phone)),
        QStringLiteral("  %1 (1)").arg(QString::fromStdString(ClassOfDeviceText(1, 1))),
        QStringLiteral("Services"),
        QStringLiteral("  OBEX Object Push (3)"),
        QStringLiteral("  Headset (1)"),
    };
    EXPECT_EQ(FilterTexts(), expected);
}

TEST_F(FilterTreeTest, SelectingAGroupNarrowsTheList) {
    TMainForm& form = NewForm();
    AddDevice("A", "(00:00:00:00:00:01)", TestNow, "Lab", 2, 3, {"Headset"});
    AddDevice("B", "(00:00:00:00:00:02)", TestNow, "lab", 1, 1, {"obex object push"});
    AddDevice("C", "(00:00:00:00:00:03)", TestNow - 7200, "", 2, 3, {"OBEX Object Push"});
    form.BuildFilterTree();
    struct TCase {
        QString Node;
        std::int32_t Kind;
        std::vector<std::string> Listed;
    };
    const TCase cases[] = {
        {QStringLiteral("Lab (2)"), fkLocation, {"(00:00:00:00:00:01)"}},
        {QStringLiteral("None (1)"), fkLocation, {"(00:00:00:00:00:03)"}},
        {QStringLiteral("Today (1)"), fkLastSeen, {"(00:00:00:00:00:03)"}},
        {QStringLiteral("%1 (2)").arg(QString::fromStdString(ClassOfDeviceText(2, 3))),
         fkType,
         {"(00:00:00:00:00:01)", "(00:00:00:00:00:03)"}},
        {QStringLiteral("obex object push (2)"), fkService, {"(00:00:00:00:00:02)", "(00:00:00:00:00:03)"}},
        {QStringLiteral("Location"),
         fkNone,
         {"(00:00:00:00:00:01)", "(00:00:00:00:00:02)", "(00:00:00:00:00:03)"}},
    };
    for (const TCase& c : cases) {
        SelectFilter(c.Node);
        EXPECT_EQ(form.FilterKind(), c.Kind) << c.Node.toStdString();
        EXPECT_EQ(ListedAddresses(), c.Listed) << c.Node.toStdString();
    }
}

TEST_F(FilterTreeTest, RebuildReselectsTheFirstNodeWithTheSameText) {
    TMainForm& form = NewForm();
    AddDevice("A", "(00:00:00:00:00:01)", TestNow, "Today");
    form.BuildFilterTree();
    SelectFilter(QStringLiteral("Today (1)"));
    EXPECT_EQ(form.FilterKind(), fkLocation);
    AddDevice("B", "(00:00:00:00:00:02)", TestNow - 7200, "Lab");
    form.DeviceDataChanged();
    Pump();
    EXPECT_EQ(form.FilterKind(), fkLastSeen) << "the \"Last Seen\" group comes first now";
    EXPECT_EQ(form.FilterValue(), "Today");
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:02)"});
}

TEST_F(FilterTreeTest, VanishedGroupLeavesNoSelectionAndKeepsTheFilter) {
    TMainForm& form = NewForm();
    AddDevice("A", "(00:00:00:00:00:01)", TestNow);
    form.BuildFilterTree();
    SelectFilter(QStringLiteral("Now (1)"));
    FNow = TestNow + 400;
    AddDevice("B", "(00:00:00:00:00:02)", TestNow - 7200);
    form.DeviceListChanged();
    Pump();
    EXPECT_TRUE(SelectedFilter().isEmpty());
    EXPECT_EQ(form.FilterKind(), fkLastSeen);
    EXPECT_EQ(form.FilterValue(), "Now");
    EXPECT_TRUE(ListedAddresses().empty());
}

TEST_F(FilterTreeTest, HideInactiveLeavesInactiveDevicesOutOfListAndCountsAndIsSaved) {
    TMainForm& form = NewForm();
    AddDevice("A", "(00:00:00:00:00:01)", TestNow, "Lab");
    AddDevice("B", "(00:00:00:00:00:02)", TestNow - 301, "Lab");
    form.BuildFilterTree();
    SelectFilter(QStringLiteral("Location"));
    EXPECT_EQ(ListedAddresses().size(), 2u);

    QAction* hide = form.findChild<QAction*>(QStringLiteral("HideInactive"));
    hide->trigger();
    Pump();
    EXPECT_TRUE(Session->HideInactive);
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:01)"});
    EXPECT_TRUE(Shows(QStringLiteral("  Lab (1)")));
    {
        std::unique_ptr<TSessionState> saved(LoadSession());
        EXPECT_TRUE(saved->HideInactive);
    }
    hide->trigger();
    Pump();
    EXPECT_EQ(ListedAddresses().size(), 2u);
    EXPECT_TRUE(Shows(QStringLiteral("  Lab (2)")));
}

TEST_F(FilterTreeTest, ApplyFilterOffShowsAllUntilCheckedAgainAndRefreshed) {
    TMainForm& form = NewForm();
    AddDevice("A", "(00:00:00:00:00:01)", TestNow, "Lab");
    AddDevice("B", "(00:00:00:00:00:02)", TestNow, "Hall");
    form.BuildFilterTree();
    SelectFilter(QStringLiteral("Lab (1)"));
    EXPECT_EQ(ListedAddresses().size(), 1u);

    QAction* apply = form.findChild<QAction*>(QStringLiteral("ApplyFilter"));
    apply->trigger();
    EXPECT_FALSE(form.FilterTree().isEnabled());
    EXPECT_EQ(ListedAddresses().size(), 2u);
    form.DeviceDataChanged();
    Pump();
    EXPECT_EQ(ListedAddresses().size(), 2u) << "refreshes keep showing all devices";
    EXPECT_EQ(SelectedFilter(), QStringLiteral("Lab (1)"));

    apply->trigger();
    EXPECT_TRUE(form.FilterTree().isEnabled());
    EXPECT_EQ(ListedAddresses().size(), 2u) << "the group applies from the next refresh on";
    form.DeviceDataChanged();
    Pump();
    EXPECT_EQ(ListedAddresses(), std::vector<std::string>{"(00:00:00:00:00:01)"});
}

} // namespace
} // namespace orvelle::test
