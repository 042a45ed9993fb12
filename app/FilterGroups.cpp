// Counting the groups: one pass over the device list per category, keys looked up by hash.
#include "app/FilterGroups.h"

#include "inventory/Descriptions.h"
#include "inventory/Utils.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace orvelle {

namespace {

struct TFoldedHash {
    std::size_t operator()(std::string_view text) const { return HashFolded(text); }
};
struct TFoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualFolded(a, b); }
};

// Counts keys without copying them: the keys are views of the records' own texts (or of constant
// texts), valid while the device list stays locked, and Take() copies the groups out before that.
class TGroupCounter {
public:
    explicit TGroupCounter(TFilterKind kind) : FKind(kind) {}

    void Add(std::string_view key) {
        auto [position, added] = FIndex.try_emplace(key, FGroups.size());
        if (added)
            FGroups.emplace_back(key, 0);
        ++FGroups[position->second].second;
    }

    std::vector<TFilterNodeData> Take() const {
        std::vector<TFilterNodeData> groups;
        groups.reserve(FGroups.size());
        for (const auto& [key, count] : FGroups)
            groups.push_back({false, key.empty() ? std::string("None") : std::string(key), FKind,
                              std::string(key), count});
        return groups;
    }

private:
    TFilterKind FKind;
    std::unordered_map<std::string_view, std::size_t, TFoldedHash, TFoldedEqual> FIndex;
    std::vector<std::pair<std::string_view, std::int32_t>> FGroups;
};

} // namespace

std::array<std::vector<TFilterNodeData>, FilterCategories.size()> BuildGroups(TDeviceList& list,
                                                                              bool hideInactive) {
    const TDeviceFilter hiding(fkNone, std::string(), hideInactive);
    const TAgeBuckets buckets(Now());
    // Class texts repeat across devices: each class pair is described once per build. The map's
    // nodes stay put, so the counter may keep views of its texts.
    std::unordered_map<std::int64_t, std::string> classTexts;
    TGroupCounter lastSeen(fkLastSeen), location(fkLocation), type(fkType), services(fkService);

    TDeviceListLock lock(list);
    for (int i = 0; i < list.Count(); ++i) {
        TBTDevice& device = list.GetDevice(i);
        if (!hiding.HidingAdmits(device))
            continue;
        lastSeen.Add(buckets.Text(device.LastSeen));
        location.Add(device.Location);
        const std::int64_t pair =
            static_cast<std::int64_t>(device.MajorClass()) * 65536 + device.MinorClass();
        auto [text, added] = classTexts.try_emplace(pair);
        if (added)
            text->second = ClassOfDeviceText(static_cast<std::uint32_t>(device.MajorClass()),
                                             static_cast<std::uint32_t>(device.MinorClass()));
        type.Add(text->second);
        for (const std::string& service : device.AdvertisedServices())
            services.Add(service);
    }
    return {lastSeen.Take(), location.Take(), type.Take(), services.Take()};
}

} // namespace orvelle
