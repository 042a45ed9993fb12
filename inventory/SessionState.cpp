// The session state, its location setter, the process-wide session and its file.
#include "inventory/SessionState.h"

#include "bluetooth/sdp/CodePage.h"
#include "inventory/Errors.h"
#include "inventory/FileIO.h"
#include "inventory/SessionFile.h"
#include "inventory/Trace.h"
#include "inventory/Utils.h"

#include <algorithm>
#include <sys/stat.h>

namespace orvelle {

TSessionState* Session = nullptr;

namespace {

std::string SessionPath;

// A rejected session file is copied aside before the first save replaces it, so that nothing the
// operator collected is lost to a damaged or hand-edited file.
void KeepRejectedFile(const std::string& path) {
    const std::string kept = path + ".rejected";
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        ORVELLE_TRACE(1, "LoadSession", __LINE__, "Rejected session file %s not kept: unreadable",
                      path.c_str());
        return;
    }
    try {
        ReplaceFile(kept, bytes->View());
        ORVELLE_TRACE(1, "LoadSession", __LINE__, "Rejected session file %s kept as %s", path.c_str(),
                      kept.c_str());
    } catch (const EOrvelleError& error) {
        ORVELLE_TRACE(1, "LoadSession", __LINE__, "Rejected session file %s not kept: %s", path.c_str(),
                      error.what());
    }
}

} // namespace

TSessionState::TSessionState() : FDeviceList(std::make_unique<TDeviceList>()) {}

void TSessionState::SetLocation(const std::string& location) {
    {
        // The scan thread copies the location into every sighted device under this lock.
        const TDeviceListLock guard(*FDeviceList);
        FLocation = location;
    }
    const auto equal = [&location](const std::string& entry) {
        return CompareTextIgnoringCase(entry, location) == 0;
    };
    if (std::none_of(LocationList.begin(), LocationList.end(), equal)) {
        LocationList.push_back(location);
        std::stable_sort(
            LocationList.begin(), LocationList.end(),
            [](const std::string& a, const std::string& b) { return CompareTextIgnoringCase(a, b) < 0; });
    }
}

std::string SessionFileName() {
    return SessionPath.empty() ? ProgramDirectory() + "Orvelle.dat" : SessionPath;
}

void SetSessionFileName(std::string path) {
    SessionPath = std::move(path);
}

TSessionState* LoadSession() {
    const std::string path = SessionFileName();
    auto state = LoadComponentFromFile(path);
    if (!state) {
        struct stat status {};
        if (lstat(path.c_str(), &status) == 0)
            KeepRejectedFile(path);
        state = std::make_unique<TSessionState>();
    }
    return state.release();
}

void SaveSession(TSessionState& session) {
    SaveComponentToFile(session, SessionFileName());
}

} // namespace orvelle
