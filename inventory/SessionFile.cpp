// The session file operations: the state's text written as a whole, and read back as a whole.
#include "inventory/SessionFile.h"

#include "inventory/FileIO.h"

namespace orvelle {

void SaveComponentToFile(TSessionState& state, const std::string& path) {
    // The text goes to the file in pieces while it is made, under the list's lock; the flush to disk
    // and the rename happen after the lock is released.
    ReplaceFile(path, [&state](const TByteSink& sink) {
        const TDeviceListLock guard(state.DeviceList());
        WriteComponent(state, sink);
    });
}

std::unique_ptr<TSessionState> LoadComponentFromFile(const std::string& path) {
    const auto text = ReadFileBytes(path);
    return text ? ComponentFromText(text->View()) : nullptr;
}

} // namespace orvelle
