// What the discovery thread hands over to the window, and the new-device sound. The main window
// implements both; every call runs on the GUI thread through the dispatcher.
#pragma once

#include <string>

namespace orvelle {

class TDiscoveryWindow {
public:
    virtual ~TDiscoveryWindow() = default;

    // Puts TEXT, with the time in front, at the top of the session's log and saves the session.
    virtual void AddLogLine(const std::string& text) = 0;
    // Records were added or removed: save the session and rebuild the views.
    virtual void DeviceListChanged() = 0;
    // Shows that a pass has just ended.
    virtual void StartScanIndicator() = 0;
};

class TSoundPlayer {
public:
    virtual ~TSoundPlayer() = default;

    // Starts playing the sound file FILENAME and returns at once, without waiting for a busy sound
    // device; a file that cannot be played gives the desktop's default sound.
    virtual void PlaySound(const std::string& fileName) = 0;
};

} // namespace orvelle
