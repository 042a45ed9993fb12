// Writes the built-in demo scenario in its file form, to the file named on the command line or to
// standard output: how resources/demo-scenario.json is made.
#include "bluetooth/DemoScenario.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fputs("usage: orvelle-demo-scenario [FILE]\n", stderr);
        return 2;
    }
    const std::string text = orvelle::DemoScenarioText();
    if (argc == 1) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "orvelle-demo-scenario: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
