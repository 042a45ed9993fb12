// The service query over a scripted platform: what it stores, what it keeps, its failures and its
// trace lines.
#include "bluetooth/BTInterface.h"
#include "inventory/Errors.h"
#include "tests/bluetooth/BluetoothTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string Address = "(00:0A:3A:54:12:34)";
const std::string First("\x35\x03\x09\x00\x00", 5);
const std::string Second("\x35\x05\x09\x01\x00\x25\x00", 7);
const std::string Third("\x35\x00", 2);
const std::string Old = "old record";

class ServiceQueryTest : public ::testing::Test {
protected:
    ServiceQueryTest() : FInstalled(Platform) {
        TDeviceListLock lock(Session.List());
        Session.List().AddDevice(Address).RawSDPRecords = {Old};
        Session.List().SetChangeCallback([this] { ++Changes; });
    }

    std::vector<std::string> Records() { return Snapshot(Session.List(), Address).RawSDPRecords.Items(); }

    TTestSession Session;
    std::shared_ptr<TScriptedPlatform> Platform = std::make_shared<TScriptedPlatform>();
    TInstalledPlatform FInstalled;
    int Changes = 0;
};

TEST_F(ServiceQueryTest, RecordsReplaceTheStoredOnesInTheOrderReceived) {
    TTraceCapture trace(1);
    Platform->Services[Address] = {0, {{First}, {Second}, {Third}}};

    QuerySDP(Address);

    EXPECT_THAT(Records(), ElementsAre(First, Second, Third));
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Platform->OpenLookups(), 0);
    EXPECT_THAT(trace.Text(), HasSubstr("[Bluetooth]QuerySDP Enter\n"));
    EXPECT_THAT(trace.Text(), HasSubstr("[Bluetooth]QuerySDP Exit\n"));
    EXPECT_THAT(trace.Text(), Not(HasSubstr("SDP lookup"))) << "written from level 100 on";
}

TEST_F(ServiceQueryTest, ResultWithoutRecordIsSkipped) {
    Platform->Services[Address] = {0, {{First}, {std::nullopt}, {Second}}};
    QuerySDP(Address);
    EXPECT_THAT(Records(), ElementsAre(First, Second));
    EXPECT_EQ(Changes, 2);
}

TEST_F(ServiceQueryTest, LookupWithoutResultsLeavesNoRecordsAndNoNotification) {
    Platform->Services[Address] = {0, {}};
    QuerySDP(Address);
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(Changes, 0);
}

TEST_F(ServiceQueryTest, DeviceThatAdvertisesNothingKeepsItsRecords) {
    TTraceCapture trace(50);
    Platform->Services[Address] = {leServiceNotFound, {}};

    QuerySDP(Address);

    EXPECT_THAT(Records(), ElementsAre(Old));
    EXPECT_EQ(Changes, 0);
    EXPECT_THAT(Platform->Calls(), ElementsAre("ServiceBegin " + Address));
    EXPECT_THAT(trace.Text(), HasSubstr("]QuerySDP:383 No services advertised by device\n"));
    EXPECT_THAT(trace.Text(), HasSubstr("QuerySDP Enter\n"));
    EXPECT_THAT(trace.Text(), Not(HasSubstr("QuerySDP Exit")));
}

TEST_F(ServiceQueryTest, RecordsWithNulBytesAreStoredWhole) {
    const std::string withNul("\x35\x05\x09\x00\x00\x08\x00", 7);
    Platform->Services[Address] = {0, {{withNul}}};
    QuerySDP(Address);
    ASSERT_THAT(Records(), ElementsAre(withNul));
    EXPECT_EQ(Records()[0].size(), 7u);
}

struct TQueryFailureCase {
    const char* Name;
    TScriptedPlatform::TServiceScript Script;
    std::string Message;
    std::vector<std::string> Kept;
};

class ServiceQueryFailureTest : public ServiceQueryTest,
                                public ::testing::WithParamInterface<TQueryFailureCase> {};

TEST_P(ServiceQueryFailureTest, FailureIsRaisedAndTheLookupEnded) {
    TTraceCapture trace(1);
    Platform->Services[Address] = GetParam().Script;
    try {
        QuerySDP(Address);
        ADD_FAILURE() << "no failure raised";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(error.what(), GetParam().Message);
    }
    EXPECT_EQ(Records(), GetParam().Kept);
    EXPECT_EQ(Platform->OpenLookups(), 0);
    EXPECT_THAT(trace.Text(), Not(HasSubstr("QuerySDP Exit")));
}

const std::string FetchFailed = "Unable to fetch service information.\n\nError: ";

INSTANTIATE_TEST_SUITE_P(
    Rows, ServiceQueryFailureTest,
    ::testing::Values(
        TQueryFailureCase{"BeginFails", {leTimedOut, {}}, FetchFailed + LastErrorText(leTimedOut), {Old}},
        TQueryFailureCase{"NextFails",
                          {0, {{First}, {std::nullopt, leNetworkDown}, {Second}}},
                          FetchFailed + LastErrorText(leNetworkDown),
                          {First}},
        TQueryFailureCase{"RecordLargerThanTheBuffer",
                          {0, {{First}, {std::string(1900, 'x')}}},
                          FetchFailed + LastErrorText(leInsufficientBuffer),
                          {First}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ServiceQueryTest, DeviceDeletedWhileItsQueryRunsIsAFailure) {
    Platform->Services[Address] = {0, {{First}, {Second}, {Third}}};
    int results = 0;
    Platform->BeforeServiceNext = [&](const std::string&) {
        if (++results == 2) {
            TDeviceListLock lock(Session.List());
            Session.List().Delete(0);
        }
    };

    try {
        QuerySDP(Address);
        ADD_FAILURE() << "no failure raised";
    } catch (const EOrvelleError& error) {
        EXPECT_EQ(error.what(), "Unable to find device to record SDP results: " + Address);
    }
    EXPECT_EQ(Changes, 2) << "the record stored before the deletion, and the failed one";
    EXPECT_EQ(Platform->OpenLookups(), 0);
    EXPECT_EQ(Platform->Calls().back(), "ServiceEnd");
}

TEST_F(ServiceQueryTest, DeviceMissingAtTheStartIsNoFailureUntilARecordArrives) {
    Platform->Services["(11:22:33:44:55:66)"] = {0, {}};
    EXPECT_NO_THROW(QuerySDP("(11:22:33:44:55:66)"));
    EXPECT_THAT(Records(), ElementsAre(Old));
}

} // namespace
} // namespace orvelle::test
