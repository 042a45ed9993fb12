// libcanberra plays the sound on its own thread; one context serves the whole run.
#include "app/FoundSound.h"

#include "bluetooth/sdp/CodePage.h"

#include <canberra.h>
#include <sys/stat.h>

namespace orvelle {

namespace {

// The context is made at the first sound and kept; none when the desktop offers no sound at all.
ca_context* SoundContext() {
    static ca_context* context = [] {
        ca_context* created = nullptr;
        if (ca_context_create(&created) != CA_SUCCESS)
            return static_cast<ca_context*>(nullptr);
        ca_context_change_props(created, CA_PROP_APPLICATION_NAME, "Orvelle", CA_PROP_APPLICATION_ID,
                                "orvelle", nullptr);
        return created;
    }();
    return context;
}

} // namespace

TSoundSource FoundSoundSource(const std::string& foundSound) {
    if (foundSound.empty())
        return ssNothing;
    struct stat status {};
    if (stat(CodePageToUtf8(foundSound).c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return ssFile;
    return ssDefaultEvent;
}

void PlayFoundSound(const std::string& foundSound) {
    // Once the desktop's own sound has failed there is no sound device: later sounds are not tried,
    // so that each new device costs nothing and the sound system's complaints are printed once.
    static bool silent = false;
    const TSoundSource source = FoundSoundSource(foundSound);
    if (source == ssNothing || silent)
        return;
    ca_context* context = SoundContext();
    if (!context)
        return;
    // A file that cannot be played gives the desktop's default sound instead.
    if (source == ssFile &&
        ca_context_play(context, 0, CA_PROP_MEDIA_FILENAME, CodePageToUtf8(foundSound).c_str(),
                        CA_PROP_EVENT_DESCRIPTION, "New Bluetooth device found", nullptr) == CA_SUCCESS)
        return;
    if (ca_context_play(context, 0, CA_PROP_EVENT_ID, "device-added", CA_PROP_EVENT_DESCRIPTION,
                        "New Bluetooth device found", nullptr) != CA_SUCCESS)
        silent = true;
}

} // namespace orvelle
