// Whole-file reading and the replacing write that never leaves a shortened file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvelle {

// The file's bytes, or none when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces the file at PATH by DATA: a temporary file in the same directory, flushed to disk, then
// renamed over PATH. An existing file keeps its permissions. Raises EOrvelleError "Unable to create
// file: " + PATH when a missing file cannot be created, "Cannot open file " + PATH when an existing
// file cannot be written (read-only included, for every user), and the system's text of other write
// errors; PATH is untouched on every failure.
void ReplaceFile(const std::string& path, std::string_view data);

} // namespace orvelle
