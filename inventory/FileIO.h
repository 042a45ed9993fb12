// Whole-file and piecewise reading, and the replacing write that never leaves a shortened file behind.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// A whole file's bytes.
struct TFileBytes {
    std::unique_ptr<char[]> Data;
    std::size_t Size = 0;
    std::string_view View() const { return {Data.get(), Size}; }
};

// The file's bytes, or none when it cannot be opened or read.
std::optional<TFileBytes> ReadFileBytes(const std::string& path);

// A regular file open for reading in pieces, so that a large file need not be held in memory as a
// whole. Other processes keep any access to it meanwhile; a file that grows is read to its new end.
class TFileReader {
public:
    explicit TFileReader(const std::string& path);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // False when the file could not be opened or is no regular file.
    bool IsOpen() const { return FDescriptor >= 0; }
    // The size the file had when it was opened.
    std::size_t Size() const { return FSize; }
    // Reads up to SIZE bytes into BUFFER: the number read, 0 at the end, none on a read error.
    std::optional<std::size_t> Read(char* buffer, std::size_t size);

private:
    int FDescriptor = -1;
    std::size_t FSize = 0;
};

// Takes the bytes of a file in pieces, in order.
using TByteSink = std::function<void(std::string_view)>;

// Replaces the file at PATH by DATA: a temporary file in the same directory, flushed to disk, then
// renamed over PATH. An existing file beside which no temporary can be made is rewritten in place. An
// existing file keeps its permissions. Raises EOrvelleError "Unable to create file: " + PATH when a missing
// file cannot be created, "Cannot open file " + PATH when an existing file cannot be written (read-only
// included, for every user), and the system's text of other write errors; PATH is untouched on every failure.
// PRODUCE hands the contents to the sink it is given, in as many pieces as it likes; it returns before the
// data is flushed to disk, and what it raises leaves PATH untouched as well.
void ReplaceFile(const std::string& path, const std::function<void(const TByteSink&)>& produce);
void ReplaceFile(const std::string& path, std::string_view data);

} // namespace orvelle
