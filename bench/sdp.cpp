// Rendering speed of service records: a typical record (the sample headset, 137 bytes, 10
// attributes) as whole text and as its service name, and the largest sample as whole text.
#include "bluetooth/sdp/SampleRecords.h"
#include "bluetooth/sdp/SdpText.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

std::string Sample(const std::string& name) {
    for (const auto& sample : orvelle::SampleRecords()) {
        if (sample.Name == name)
            return sample.Bytes;
    }
    return {};
}

std::string Largest() {
    const auto samples = orvelle::SampleRecords();
    return std::max_element(samples.begin(), samples.end(),
                            [](const auto& a, const auto& b) { return a.Bytes.size() < b.Bytes.size(); })
        ->Bytes;
}

void RecordText(benchmark::State& state, const std::string& record) {
    for (auto _ : state)
        benchmark::DoNotOptimize(orvelle::SDPRecordToText(record));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
}

void ServiceName(benchmark::State& state, const std::string& record) {
    for (auto _ : state)
        benchmark::DoNotOptimize(orvelle::SDPAttributeText(0x0100, record));
}

BENCHMARK_CAPTURE(RecordText, TypicalHeadset, Sample("headset"));
BENCHMARK_CAPTURE(RecordText, LargestSample, Largest());
BENCHMARK_CAPTURE(ServiceName, TypicalHeadset, Sample("headset"));

} // namespace

BENCHMARK_MAIN();
