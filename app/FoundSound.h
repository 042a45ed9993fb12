// The new-device sound, played as a desktop event sound.
#pragma once

#include <string>

namespace orvelle {

enum TSoundSource { ssNothing, ssFile, ssDefaultEvent };

// What a FoundSound setting plays: nothing for the empty text, the file when it exists, otherwise
// (a stored path of another system, a deleted file) the desktop's default "device-added" sound.
TSoundSource FoundSoundSource(const std::string& foundSound);

// Starts playing FOUNDSOUND (a code-page text) and returns at once. Without a sound device, or when
// the sound cannot be played, nothing happens.
void PlayFoundSound(const std::string& foundSound);

} // namespace orvelle
