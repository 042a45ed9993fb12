// The session file's text encoding: the writer that gives exactly one layout for a state, the reader
// that accepts that layout and its freedoms, and the two file operations on top of them.
#pragma once

#include "inventory/FileIO.h"
#include "inventory/SessionState.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// The text of STATE. The caller holds the device list's lock.
std::string ComponentToText(const TSessionState& state);

// The same text handed to SINK in pieces of about a megabyte, so that a large session is never held
// in memory as a whole. The caller holds the device list's lock.
void WriteComponent(const TSessionState& state, const TByteSink& sink);

// A new state decoded from TEXT, or none when the text is malformed in any way.
std::unique_ptr<TSessionState> ComponentFromText(std::string_view text);

// Takes the next piece of a text into BUFFER (at most SIZE bytes): the number of bytes, 0 at the end
// of the text, none on a read error.
using TByteSource = std::function<std::optional<std::size_t>(char* buffer, std::size_t size)>;

// The same decoding of the text that SOURCE hands over piece by piece, through a buffer of fixed size,
// so that a large file is never held in memory as a whole. None on a read error as well.
std::unique_ptr<TSessionState> ComponentFromSource(const TByteSource& source);

// Writes STATE's text to PATH, replacing the file as a whole (temporary file, flush to disk, rename).
// Takes the device list's lock while the text is made. Raises EOrvelleError "Unable to create file: "
// + PATH when a missing file cannot be created and "Cannot open file PATH" when an existing one cannot
// be written (a read-only file included); the file is then untouched.
void SaveComponentToFile(TSessionState& state, const std::string& path);

// The state stored at PATH, or none when the file is missing, unreadable or malformed.
std::unique_ptr<TSessionState> LoadComponentFromFile(const std::string& path);

} // namespace orvelle
