// The session file operations: the state's text written as a whole, and read back in pieces.
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
    TFileReader file(path);
    if (!file.IsOpen())
        return nullptr;
    return ComponentFromSource([&file](char* buffer, std::size_t size) { return file.Read(buffer, size); });
}

} // namespace orvelle
