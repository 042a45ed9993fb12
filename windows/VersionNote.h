// The layout of the version note that the program file carries in its own ELF section: written by the
// generated source of the build, read back by the about window.
#pragma once

#include <cstdint>

namespace orvelle {

inline constexpr const char* VersionNoteSection = ".note.orvelle.version";

// File flag of a pre-release build.
inline constexpr std::uint32_t vfPreRelease = 2;

// An ELF note: the header, the owner name padded to four bytes, then the description (the file
// version, most significant number first, and the file flags). The defaults are the header every
// version note has; a reader compares against them.
struct TVersionNote {
    std::uint32_t NameSize = 8;
    std::uint32_t DescriptionSize = 12;
    std::uint32_t Type = 1;
    char Owner[8] = "Orvelle";
    std::uint16_t FileVersion[4] = {};
    std::uint32_t FileFlags = 0;
};

static_assert(sizeof(TVersionNote) == 12 + 8 + 12, "a version note has no padding");

} // namespace orvelle
