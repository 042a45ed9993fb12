// The program's entry: command line, trace configuration, session file, radio, the application and
// its five windows, the event loop.
#pragma once

namespace orvelle {

// Runs the program with the process's arguments; returns the exit status.
int RunProgram(int argc, char** argv);

} // namespace orvelle
