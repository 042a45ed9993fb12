// The session file operations: the state's text written as a whole, and read back as a whole.
#include "inventory/SessionFile.h"

#include "inventory/FileIO.h"

namespace orvelle {

void SaveComponentToFile(TSessionState& state, const std::string& path) {
    std::string text;
    {
        const TDeviceListLock guard(state.DeviceList());
        text = ComponentToText(state);
    }
    ReplaceFile(path, text);
}

std::unique_ptr<TSessionState> LoadComponentFromFile(const std::string& path) {
    const auto text = ReadFileBytes(path);
    return text ? ComponentFromText(*text) : nullptr;
}

} // namespace orvelle
