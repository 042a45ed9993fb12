// The commands of orvelle-inventory: check, rewrite, list, sdp and services over session files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvelle {

// Exit statuses of the tool.
enum TToolStatus { tsSuccess = 0, tsFailure = 1, tsUsage = 2 };

// Runs the command in ARGUMENTS (the program name left out). Results go to OUT, messages to ERR, all
// in UTF-8.
int RunInventoryTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace orvelle
