// The program's version: the note the build embeds in the program file, the reader that finds it in
// an ELF file, the version text and the about window's label.
#include "windows/AboutWindow.h"
#include "windows/VersionInfo.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <link.h>
#include <vector>

namespace orvelle {
namespace {

template<typename T>
void Append(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
}

void Pad(std::string& bytes) {
    bytes.resize((bytes.size() + 3) & ~std::size_t{3}, '\0');
}

// One ELF note with the given owner (its NUL included in the size), type and description.
std::string Note(const std::string& owner, std::uint32_t type, const std::string& description) {
    std::string bytes;
    Append(bytes, static_cast<std::uint32_t>(owner.size() + 1));
    Append(bytes, static_cast<std::uint32_t>(description.size()));
    Append(bytes, type);
    bytes += owner;
    bytes += '\0';
    Pad(bytes);
    bytes += description;
    Pad(bytes);
    return bytes;
}

std::string VersionDescription(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                               std::uint16_t build, std::uint32_t flags) {
    std::string bytes;
    for (std::uint16_t number : {major, minor, release, build})
        Append(bytes, number);
    Append(bytes, flags);
    return bytes;
}

std::string VersionNote(std::uint16_t major, std::uint16_t minor, std::uint16_t release, std::uint16_t build,
                        std::uint32_t flags) {
    return Note("Orvelle", 1, VersionDescription(major, minor, release, build, flags));
}

// A small ELF file of this machine's kind: the header, one section named SECTIONNAME holding
// CONTENTS, the section name table and the section headers.
std::string ElfFile(const std::string& sectionName, const std::string& contents) {
    const std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
    ElfW(Ehdr) header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    header.e_ident[EI_DATA] = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_EXEC;
    header.e_version = EV_CURRENT;
    header.e_ehsize = sizeof(header);
    header.e_shentsize = sizeof(ElfW(Shdr));
    header.e_shnum = 3;
    header.e_shstrndx = 1;

    std::string body;
    const std::size_t namesOffset = sizeof(header);
    body += names;
    Pad(body);
    const std::size_t contentsOffset = sizeof(header) + body.size();
    body += contents;
    Pad(body);
    header.e_shoff = sizeof(header) + body.size();

    ElfW(Shdr) sections[3]{};
    sections[1].sh_name = 1;
    sections[1].sh_type = SHT_STRTAB;
    sections[1].sh_offset = namesOffset;
    sections[1].sh_size = names.size();
    sections[2].sh_name = 11;
    sections[2].sh_type = SHT_NOTE;
    sections[2].sh_flags = SHF_ALLOC;
    sections[2].sh_offset = contentsOffset;
    sections[2].sh_size = contents.size();

    std::string file;
    Append(file, header);
    file += body;
    Append(file, sections);
    return file;
}

struct TVersionFileCase {
    const char* Title;
    std::string Contents;
    const char* Expected;
};

void PrintTo(const TVersionFileCase& file, std::ostream* out) {
    *out << file.Title;
}

class VersionFileTest : public testing::TestWithParam<TVersionFileCase> {};

TEST_P(VersionFileTest, GivesTheVersionTextOfTheFile) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const std::string path = directory.filePath(QStringLiteral("program")).toStdString();
    std::ofstream(path, std::ios::binary) << GetParam().Contents;
    EXPECT_EQ(GetVersionText(path), GetParam().Expected);
}

const std::string Note1110 = VersionNote(1, 1, 1, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Files, VersionFileTest,
    testing::Values(
        TVersionFileCase{"Release", ElfFile(".note.orvelle.version", Note1110), "1.1.1"},
        TVersionFileCase{"PreRelease", ElfFile(".note.orvelle.version", VersionNote(2, 10, 3, 7, 2)),
                         "2.10.3 Beta"},
        TVersionFileCase{"NumbersAreUnsigned",
                         ElfFile(".note.orvelle.version", VersionNote(65535, 32768, 40000, 1, 0)),
                         "65535.32768.40000"},
        TVersionFileCase{"OtherFlagsAreNotBeta",
                         ElfFile(".note.orvelle.version", VersionNote(3, 0, 1, 0, 1 | 4)), "3.0.1"},
        TVersionFileCase{"PreReleaseAmongOtherFlags",
                         ElfFile(".note.orvelle.version", VersionNote(3, 0, 1, 0, 1 | 2)), "3.0.1 Beta"},
        TVersionFileCase{"AfterAnotherNote",
                         ElfFile(".note.orvelle.version", Note("GNU", 3, "abcdefgh") + Note1110), "1.1.1"},
        TVersionFileCase{"NoVersionSection", ElfFile(".note.gnu.build-id", Note1110), ""},
        TVersionFileCase{"SectionNameOnlyBegins", ElfFile(".note.orvelle.versions", Note1110), ""},
        TVersionFileCase{"OtherOwner",
                         ElfFile(".note.orvelle.version", Note("Orvellx", 1, Note1110.substr(20))), ""},
        TVersionFileCase{"OtherType",
                         ElfFile(".note.orvelle.version", Note("Orvelle", 2, Note1110.substr(20))), ""},
        TVersionFileCase{"ShortDescription",
                         ElfFile(".note.orvelle.version", Note("Orvelle", 1, Note1110.substr(20, 8))), ""},
        TVersionFileCase{"NoteLongerThanSection",
                         ElfFile(".note.orvelle.version", Note1110.substr(0, Note1110.size() - 4)), ""},
        TVersionFileCase{"EmptySection", ElfFile(".note.orvelle.version", ""), ""},
        TVersionFileCase{"SectionHeadersCutOff",
                         ElfFile(".note.orvelle.version", Note1110)
                             .substr(0, ElfFile(".note.orvelle.version", Note1110).size() - 10),
                         ""},
        TVersionFileCase{"HeaderCutOff", ElfFile(".note.orvelle.version", Note1110).substr(0, 20), ""},
        TVersionFileCase{"NotElf", "#!/bin/sh\necho Orvelle 1.1.1\n", ""},
        TVersionFileCase{"EmptyFile", "", ""}),
    [](const testing::TestParamInfo<TVersionFileCase>& test) { return std::string(test.param.Title); });

TEST(VersionText, ShowsThreeNumbersAndBetaForPreRelease) {
    EXPECT_EQ(VersionText(TFileVersionInfo{{1, 1, 1, 0}, 0}), "1.1.1");
    EXPECT_EQ(VersionText(TFileVersionInfo{{2, 10, 3, 7}, 2}), "2.10.3 Beta");
}

TEST(VersionText, MissingFileHasNoVersion) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    EXPECT_EQ(GetVersionText(directory.filePath(QStringLiteral("missing")).toStdString()), "");
}

// The test program links the same generated note as the program, from the project's version.
TEST(ProgramVersion, RunningProgramCarriesTheProjectVersion) {
    auto info = ReadFileVersionInfo("/proc/self/exe");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->FileVersion, (std::array<std::uint16_t, 4>{1, 1, 1, 0}));
    EXPECT_EQ(info->FileFlags, 0u);
    EXPECT_EQ(GetVersionText(), "1.1.1");
}

TEST(AboutForm, ShowsTheVersionReadAtShowing) {
    TAboutForm form;
    auto* version = form.findChild<QLabel*>(QStringLiteral("Version"));
    ASSERT_NE(version, nullptr);
    form.FormShow();
    EXPECT_EQ(version->text(), QStringLiteral("Version: 1.1.1"));
}

} // namespace
} // namespace orvelle
