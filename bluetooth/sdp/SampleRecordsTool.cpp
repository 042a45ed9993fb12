// orvelle-sdp-samples: writes the sample service records, each into a file of its name in DIR (the
// fuzz target's seeds), or prints them as "name hex" lines for scenario files when DIR is absent.
#include "bluetooth/sdp/SampleRecords.h"

#include <fstream>
#include <iostream>

namespace {

void PrintHex(const std::string& bytes) {
    constexpr char Digits[] = "0123456789ABCDEF";
    for (unsigned char byte : bytes)
        std::cout << Digits[byte >> 4] << Digits[byte & 15];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: orvelle-sdp-samples [DIR]\n";
        return 2;
    }
    for (const auto& sample : orvelle::SampleRecords()) {
        if (argc == 1) {
            std::cout << sample.Name << ' ';
            PrintHex(sample.Bytes);
            std::cout << '\n';
            continue;
        }
        const std::string path = std::string(argv[1]) + "/" + sample.Name;
        std::ofstream file(path, std::ios::binary);
        if (!file.write(sample.Bytes.data(), static_cast<std::streamsize>(sample.Bytes.size())) ||
            !file.flush()) {
            std::cerr << "orvelle-sdp-samples: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
