// The session state (TSessionState): the device inventory, the locations, the log and the options that
// the program keeps between runs in its session file, and the one session of the process.
#pragma once

#include "inventory/DeviceList.h"

#include <memory>
#include <string>
#include <vector>

namespace orvelle {

inline constexpr const char* DefaultFoundSound = "C:\\WINDOWS\\Media\\Windows XP Information Bar.wav";

class TSessionState {
public:
    TSessionState();

    TDeviceList& DeviceList() { return *FDeviceList; }
    const TDeviceList& DeviceList() const { return *FDeviceList; }

    // Known locations, sorted without regard to letter case and free of entries equal in that way.
    std::vector<std::string> LocationList;

    // The current location. The scan thread reads it while holding the device list's lock, and
    // SetLocation replaces it under that lock; the GUI thread, the only writer, may read it freely.
    const std::string& Location() const { return FLocation; }
    // Sets the location and adds it to LocationList unless an entry equal without regard to letter
    // case is there. Neither logs nor saves.
    void SetLocation(const std::string& location);

    // The event log, newest line first.
    std::vector<std::string> Log;
    bool HideInactive = false;
    std::string FoundSound{DefaultFoundSound};

    // The object name a session file gave the state ("object Name: TSessionState"); normally empty.
    std::string Name;

private:
    std::unique_ptr<TDeviceList> FDeviceList;
    std::string FLocation;
};

// The session of the process: set once at start-up from LoadSession and valid until the end.
extern TSessionState* Session;

// The session file: ProgramDirectory() + "Orvelle.dat" unless the --session option named another.
std::string SessionFileName();
void SetSessionFileName(std::string path);

// Reads the session file; a missing, unreadable or malformed file gives a fresh session and is not
// reported. A file that exists but is rejected is kept as SessionFileName() + ".rejected" first. The
// caller owns the result (the program keeps it as Session until the process ends).
TSessionState* LoadSession();

// Writes the whole state to the session file, holding the device list's lock while the text is made.
// Raises EOrvelleError on failure; the file is then left as it was.
void SaveSession(TSessionState& session);

} // namespace orvelle
