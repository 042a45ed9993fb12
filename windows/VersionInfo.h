// The version information of a program file: found in its version note and turned into the text
// that the about window shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orvelle {

struct TFileVersionInfo {
    std::array<std::uint16_t, 4> FileVersion{}; // major, minor, release, build
    std::uint32_t FileFlags = 0;
};

// The version note of the ELF file FILENAME; nothing when the file cannot be read, is no ELF file of
// this machine's kind, or carries no well-formed note.
std::optional<TFileVersionInfo> ReadFileVersionInfo(const std::string& fileName);

// "major.minor.release" (the build number is not shown), with " Beta" when the pre-release flag is set.
std::string VersionText(const TFileVersionInfo& info);

// The version text of the file FILENAME, or the empty text when it has no version information.
std::string GetVersionText(const std::string& fileName);

} // namespace orvelle
