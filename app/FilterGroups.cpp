// Counting the groups: one pass over the device list per category, keys looked up by hash.
#include "app/FilterGroups.h"

#include "inventory/Descriptions.h"
#include "inventory/Utils.h"

#include <unordered_map>

namespace orvelle {

namespace {

class TGroupCounter {
public:
    void Add(const std::string& key) {
        auto [position, added] = FIndex.try_emplace(FoldCase(key), FGroups.size());
        if (added)
            FGroups.push_back({false, key.empty() ? std::string("None") : key, FKind, key, 0});
        ++FGroups[position->second].GroupCount;
    }

    explicit TGroupCounter(TFilterKind kind) : FKind(kind) {}
    std::vector<TFilterNodeData> Take() { return std::move(FGroups); }

private:
    TFilterKind FKind;
    std::unordered_map<std::string, std::size_t> FIndex;
    std::vector<TFilterNodeData> FGroups;
};

} // namespace

std::vector<TFilterNodeData> BuildGroups(TDeviceList& list, TFilterKind kind, bool hideInactive) {
    const TDeviceFilter hiding(fkNone, std::string(), hideInactive);
    const TAgeBuckets buckets(Now());
    // Class texts repeat across devices: each class pair is described once per build.
    std::unordered_map<std::int64_t, std::string> classTexts;
    TGroupCounter counter(kind);

    TDeviceListLock lock(list);
    for (int i = 0; i < list.Count(); ++i) {
        TBTDevice& device = list.GetDevice(i);
        if (!hiding.HidingAdmits(device))
            continue;
        switch (kind) {
        case fkLastSeen:
            counter.Add(buckets.Text(device.LastSeen));
            break;
        case fkLocation:
            counter.Add(device.Location);
            break;
        case fkType: {
            const std::int64_t pair =
                static_cast<std::int64_t>(device.MajorClass()) * 65536 + device.MinorClass();
            auto [text, added] = classTexts.try_emplace(pair);
            if (added)
                text->second = ClassOfDeviceText(static_cast<std::uint32_t>(device.MajorClass()),
                                                 static_cast<std::uint32_t>(device.MinorClass()));
            counter.Add(text->second);
            break;
        }
        case fkService:
            for (const std::string& service : device.AdvertisedServices())
                counter.Add(service);
            break;
        default:
            break;
        }
    }
    return counter.Take();
}

} // namespace orvelle
