// The SDP client against a scripted server over a socket pair: the records come back byte for byte,
// and every malformed or refused response is a clean failure with its last error.
#include "FakeSdpServer.h"

#include "bluetooth/bluez/SdpClient.h"
#include "bluetooth/sdp/LastError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvelle::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Records as devices send them: a short one, one with NUL bytes and a 16-bit length header, and one
// holding a text attribute.
const std::string RecordA = Bytes("35 08 09 00 00 0A 00 01 00 00");
const std::string RecordB = Bytes("36 00 0D 09 00 01 35 03 19 11 01 09 00 04 35 00");
const std::string RecordC = Bytes("35 0A 09 01 00 25 05 48 65 00 6C 6F");

std::string Sequence(const std::string& body) {
    return Bytes("35") + static_cast<char>(body.size()) + body;
}

TEST(SdpClient, FirstRequestAsksForEveryAttributeOfEveryL2capRecord) {
    TFakeSdpServer server({Answer(Bytes("35 00"))}, 2000);
    std::vector<std::string> records;
    ASSERT_TRUE(FetchServiceRecords(server.Client(), records, 0x1234)) << GetLastErrorText();
    EXPECT_THAT(server.Requests(),
                ElementsAre(Bytes("06 12 34 00 0F  35 03 19 01 00  02 88  35 05 0A 00 00 FF FF  00")));
}

struct TFetchCase {
    const char* Name;
    std::vector<std::string> Fragments; // the attribute lists as the server cuts them
    std::vector<std::string> Expected;
};

void PrintTo(const TFetchCase& fetchCase, std::ostream* out) {
    *out << fetchCase.Name;
}

class SdpClientFetch : public ::testing::TestWithParam<TFetchCase> {};

TEST_P(SdpClientFetch, ReturnsTheRecordsByteForByte) {
    const TFetchCase& c = GetParam();
    std::vector<TSdpStep> script;
    for (std::size_t i = 0; i < c.Fragments.size(); ++i) {
        const bool last = i + 1 == c.Fragments.size();
        script.push_back(Answer(c.Fragments[i], last ? std::string() : "state" + std::to_string(i)));
    }
    TFakeSdpServer server(script);
    std::vector<std::string> records{"stale"};
    ASSERT_TRUE(FetchServiceRecords(server.Client(), records)) << GetLastErrorText();
    EXPECT_THAT(records, ElementsAreArray(c.Expected));

    // Each request after the first carries the previous continuation state and a fresh transaction id.
    const auto& requests = server.Requests();
    ASSERT_EQ(requests.size(), c.Fragments.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(TransactionOf(requests[i]), i + 1);
        const std::string state = i == 0 ? std::string() : "state" + std::to_string(i - 1);
        EXPECT_EQ(requests[i].substr(19), static_cast<char>(state.size()) + state) << "request " << i;
    }
}

std::vector<std::string> CutAt(const std::string& bytes, std::vector<std::size_t> cuts) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (const std::size_t cut : cuts) {
        pieces.push_back(bytes.substr(start, cut - start));
        start = cut;
    }
    pieces.push_back(bytes.substr(start));
    return pieces;
}

const std::string ThreeRecords = Sequence(RecordA + RecordB + RecordC);

INSTANTIATE_TEST_SUITE_P(
    Cases, SdpClientFetch,
    ::testing::Values(
        TFetchCase{"OneRecord", {Sequence(RecordA)}, {RecordA}},
        TFetchCase{"SeveralRecords", {ThreeRecords}, {RecordA, RecordB, RecordC}},
        TFetchCase{"OuterSequenceWithLongHeader", {Bytes("37 00 00 00 0A") + RecordA}, {RecordA}},
        // Cut inside the outer header, inside a record's length and inside a text value.
        TFetchCase{
            "ContinuationSplitsElements", CutAt(ThreeRecords, {1, 14, 33}), {RecordA, RecordB, RecordC}},
        TFetchCase{"EmptyFragmentsBetween", CutAt(ThreeRecords, {5, 5, 5}), {RecordA, RecordB, RecordC}},
        TFetchCase{"EmptyOuterSequence", {Bytes("35 00")}, {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

struct TFailureCase {
    const char* Name;
    std::vector<TSdpStep> Script;
    std::uint32_t Error;
};

void PrintTo(const TFailureCase& failureCase, std::ostream* out) {
    *out << failureCase.Name;
}

class SdpClientFailure : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(SdpClientFailure, FailsCleanlyWithTheLastError) {
    const TFailureCase& c = GetParam();
    TFakeSdpServer server(c.Script, 200);
    std::vector<std::string> records{RecordA};
    SetLastError(leSuccess);
    EXPECT_FALSE(FetchServiceRecords(server.Client(), records));
    EXPECT_EQ(GetLastError(), c.Error) << GetLastErrorText();
    EXPECT_THAT(records, ElementsAre(RecordA)) << "a failed search leaves the caller's list alone";
}

// A response whose parameter length says more than was sent, or less.
TSdpStep LyingParameterLength(int delta) {
    return [delta](const std::string& request) {
        std::string pdu = Response(TransactionOf(request), Sequence(RecordA), "");
        pdu[4] = static_cast<char>(pdu[4] + delta);
        return std::optional<std::string>(pdu);
    };
}

TSdpStep WithTransaction(std::uint16_t transaction, std::string lists) {
    return [=](const std::string&) { return std::optional<std::string>(Response(transaction, lists, "")); };
}

TSdpStep Silent() {
    return [](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return std::optional<std::string>();
    };
}

TSdpStep HangUp() {
    return [](const std::string&) { return std::optional<std::string>(); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SdpClientFailure,
    ::testing::Values(
        TFailureCase{"ErrorResponse", {Raw(Bytes("01 00 01 00 02 00 03"))}, leServiceSearchRefused},
        TFailureCase{"ErrorResponseWithoutCode", {Raw(Bytes("01 00 01 00 01 00"))}, leInvalidData},
        TFailureCase{"WrongTransaction", {WithTransaction(7, Sequence(RecordA))}, leInvalidData},
        TFailureCase{"ShorterThanHeader", {Raw(Bytes("07 00 01"))}, leInvalidData},
        TFailureCase{"UnknownPdu", {Raw(Bytes("05 00 01 00 03 00 00 00"))}, leInvalidData},
        TFailureCase{"ParameterLengthTooLong", {LyingParameterLength(1)}, leInvalidData},
        TFailureCase{"ParameterLengthTooShort", {LyingParameterLength(-1)}, leInvalidData},
        TFailureCase{"ByteCountPastTheEnd", {Raw(Bytes("07 00 01 00 05 00 09 35 00 00"))}, leInvalidData},
        TFailureCase{
            "ParametersWithoutContinuationByte", {Raw(Bytes("07 00 01 00 02 00 00"))}, leInvalidData},
        TFailureCase{"ContinuationLongerThan16",
                     {Answer(Bytes("35 0A"), std::string(17, 'x')), Answer(RecordA)},
                     leInvalidData},
        TFailureCase{"OuterLengthPastTheEnd", {Answer(Bytes("35 0B") + RecordA)}, leInvalidData},
        TFailureCase{"BytesAfterOuterSequence", {Answer(Sequence(RecordA) + Bytes("00"))}, leInvalidData},
        TFailureCase{"OuterNotASequence", {Answer(Bytes("09 00 01"))}, leInvalidData},
        TFailureCase{"OuterHeaderCut", {Answer(Bytes("36 00"))}, leInvalidData},
        TFailureCase{"NothingAtAll", {Answer("")}, leInvalidData},
        TFailureCase{
            "RecordLengthPastOuter", {Answer(Sequence(Bytes("35 09") + RecordA.substr(2)))}, leInvalidData},
        TFailureCase{"RecordNotASequence", {Answer(Sequence(Bytes("09 00 01")))}, leInvalidData},
        TFailureCase{"ServerSilent", {Silent()}, leTimedOut},
        TFailureCase{"ServerHangsUp", {HangUp()}, leConnectionRefused}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(SdpClient, ServerThatNeverEndsTheContinuationIsCutOff) {
    std::vector<TSdpStep> script(SdpMaxRequests + 1, Answer(Bytes(""), "again"));
    TFakeSdpServer server(script);
    std::vector<std::string> records;
    EXPECT_FALSE(FetchServiceRecords(server.Client(), records));
    EXPECT_EQ(GetLastError(), leInvalidData);
    EXPECT_EQ(server.Requests().size(), static_cast<std::size_t>(SdpMaxRequests));
}

TEST(SdpClient, ServerThatSendsTooMuchIsCutOff) {
    const std::string piece(60000, '\x09');
    std::vector<TSdpStep> script(SdpMaxAttributeListsSize / piece.size() + 2, Answer(piece, "more"));
    TFakeSdpServer server(script);
    std::vector<std::string> records;
    EXPECT_FALSE(FetchServiceRecords(server.Client(), records));
    EXPECT_EQ(GetLastError(), leInvalidData);
    EXPECT_THAT(records, IsEmpty());
}

} // namespace
} // namespace orvelle::test
