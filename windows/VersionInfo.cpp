// Finds the version note in an ELF file of this machine's kind by reading its section headers, and
// formats the version text.
#include "windows/VersionInfo.h"

#include "windows/VersionNote.h"

#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace orvelle {
namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char NativeData = ELFDATA2LSB;
#else
constexpr unsigned char NativeData = ELFDATA2MSB;
#endif
constexpr unsigned char NativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

// Bounds that keep a damaged or hostile file from making the reader allocate without limit.
constexpr std::uint64_t MaxSectionCount = 1 << 16;
constexpr std::uint64_t MaxNameTableSize = 1 << 24;
constexpr std::uint64_t MaxNoteSectionSize = 1 << 16;

class TFile {
public:
    explicit TFile(const std::string& name) : FDescriptor(open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~TFile() {
        if (FDescriptor >= 0)
            close(FDescriptor);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    bool IsOpen() const { return FDescriptor >= 0; }

    // Reads exactly SIZE bytes at OFFSET; false when the file ends before.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
        auto* bytes = static_cast<char*>(buffer);
        while (size > 0) {
            ssize_t count = pread(FDescriptor, bytes, size, static_cast<off_t>(offset));
            if (count <= 0)
                return false;
            bytes += count;
            offset += static_cast<std::uint64_t>(count);
            size -= static_cast<std::size_t>(count);
        }
        return true;
    }

    std::optional<std::vector<char>> ReadBlock(std::uint64_t offset, std::uint64_t size) const {
        std::vector<char> block(static_cast<std::size_t>(size));
        if (!ReadAt(offset, block.data(), block.size()))
            return std::nullopt;
        return block;
    }

private:
    int FDescriptor;
};

std::uint64_t Padded(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}

// The description of the first version note among the notes of SECTION.
std::optional<TFileVersionInfo> FindVersionNote(const std::vector<char>& section) {
    const TVersionNote expected;
    std::uint64_t offset = 0;
    while (offset + 12 <= section.size()) {
        std::uint32_t header[3];
        std::memcpy(header, section.data() + offset, sizeof(header));
        std::uint64_t name = offset + sizeof(header);
        std::uint64_t description = name + Padded(header[0]);
        std::uint64_t next = description + Padded(header[1]);
        if (next > section.size())
            return std::nullopt;
        if (header[0] == expected.NameSize && header[2] == expected.Type &&
            header[1] >= expected.DescriptionSize &&
            std::memcmp(section.data() + name, expected.Owner, sizeof(expected.Owner)) == 0) {
            TFileVersionInfo info;
            std::memcpy(info.FileVersion.data(), section.data() + description, sizeof(expected.FileVersion));
            std::memcpy(&info.FileFlags, section.data() + description + sizeof(expected.FileVersion),
                        sizeof(info.FileFlags));
            return info;
        }
        offset = next;
    }
    return std::nullopt;
}

} // namespace

std::optional<TFileVersionInfo> ReadFileVersionInfo(const std::string& fileName) {
    TFile file(fileName);
    ElfW(Ehdr) header;
    if (!file.IsOpen() || !file.ReadAt(0, &header, sizeof(header)))
        return std::nullopt;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != NativeClass ||
        header.e_ident[EI_DATA] != NativeData || header.e_shoff == 0 ||
        header.e_shentsize != sizeof(ElfW(Shdr)))
        return std::nullopt;

    // Files with very many sections keep the count and the name table's index in section 0.
    std::uint64_t sectionCount = header.e_shnum;
    std::uint64_t namesIndex = header.e_shstrndx;
    if (sectionCount == 0 || namesIndex == SHN_XINDEX) {
        ElfW(Shdr) first;
        if (!file.ReadAt(header.e_shoff, &first, sizeof(first)))
            return std::nullopt;
        if (sectionCount == 0)
            sectionCount = first.sh_size;
        if (namesIndex == SHN_XINDEX)
            namesIndex = first.sh_link;
    }
    if (sectionCount > MaxSectionCount || namesIndex >= sectionCount)
        return std::nullopt;

    std::vector<ElfW(Shdr)> sections(static_cast<std::size_t>(sectionCount));
    if (!file.ReadAt(header.e_shoff, sections.data(), sections.size() * sizeof(ElfW(Shdr))))
        return std::nullopt;
    const ElfW(Shdr)& namesSection = sections[static_cast<std::size_t>(namesIndex)];
    if (namesSection.sh_size > MaxNameTableSize)
        return std::nullopt;
    auto names = file.ReadBlock(namesSection.sh_offset, namesSection.sh_size);
    if (!names)
        return std::nullopt;

    const std::string_view wanted(VersionNoteSection);
    for (const ElfW(Shdr) & section : sections) {
        // The wanted name and the NUL that ends it must both lie within the name table.
        if (section.sh_name >= names->size() || names->size() - section.sh_name <= wanted.size() ||
            std::string_view(names->data() + section.sh_name, wanted.size()) != wanted ||
            (*names)[section.sh_name + wanted.size()] != '\0')
            continue;
        if (section.sh_type == SHT_NOBITS || section.sh_size > MaxNoteSectionSize)
            return std::nullopt;
        auto contents = file.ReadBlock(section.sh_offset, section.sh_size);
        return contents ? FindVersionNote(*contents) : std::nullopt;
    }
    return std::nullopt;
}

std::string VersionText(const TFileVersionInfo& info) {
    std::string text = std::to_string(info.FileVersion[0]) + "." + std::to_string(info.FileVersion[1]) + "." +
                       std::to_string(info.FileVersion[2]);
    if (info.FileFlags & vfPreRelease)
        text += " Beta";
    return text;
}

std::string GetVersionText(const std::string& fileName) {
    auto info = ReadFileVersionInfo(fileName);
    return info ? VersionText(*info) : std::string();
}

} // namespace orvelle
