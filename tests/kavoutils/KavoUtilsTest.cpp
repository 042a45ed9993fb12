// Runs the library's C cases, each in its own process, and checks what only C++ checks well: the
// export table and tracing from several threads at once.
#include "kavoutils.h"
#include "KavoCase.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Names a case in GoogleTest's output instead of its bytes.
void PrintTo(const KavoCase& testCase, std::ostream* out) {
    *out << testCase.Name;
}

namespace {

std::vector<KavoCase> AllCases() {
    std::vector<KavoCase> cases;
    for (const KavoCase* table :
         {KavoTraceCases, KavoConfigCases, KavoLogCases, KavoHashCases, KavoCodecCases, KavoNetCases})
        for (const KavoCase* entry = table; entry->Name != nullptr; ++entry)
            cases.push_back(*entry);
    return cases;
}

class KavoCCase : public ::testing::TestWithParam<KavoCase> {};

// The child process exits with the case's result; its failed checks appear in the death test's output.
TEST_P(KavoCCase, PassesInOwnProcess) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(std::exit(KavoRunCase(&GetParam())), ::testing::ExitedWithCode(0), "");
}

std::string CaseName(const ::testing::TestParamInfo<KavoCase>& testCase) {
    return testCase.param.Name;
}

INSTANTIATE_TEST_SUITE_P(C, KavoCCase, ::testing::ValuesIn(AllCases()), CaseName);

std::string LibraryPath() {
    Dl_info info{};
    EXPECT_NE(dladdr(reinterpret_cast<void*>(&TraceStart), &info), 0);
    return info.dli_fname != nullptr ? info.dli_fname : "";
}

// The dynamic symbols the library defines, from nm's "address type name" lines.
std::set<std::string> DefinedSymbols(const std::string& library) {
    std::set<std::string> names;
    std::string command = "nm -D --defined-only '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return names;
    char line[512];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name)
            names.insert(name);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return names;
}

TEST(KavoExports, ExactlyTheDecoratedNamesOfTheSixFamilies) {
    std::set<std::string> expected = {"_TraceEnabled", "_TraceModuleNames"};
#define KAVO_EXPECTED_NAME(name) expected.insert("_" #name);
    KAVO_FUNCTIONS(KAVO_EXPECTED_NAME)
#undef KAVO_EXPECTED_NAME
    // Symbols the linker adds to every shared object, and AddressSanitizer's indicators beside each
    // exported data object, are not ours.
    const std::set<std::string> toolchain = {"_init", "_fini", "_edata", "_end", "__bss_start"};
    std::set<std::string> actual = DefinedSymbols(LibraryPath());
    std::set<std::string> ours;
    std::copy_if(actual.begin(), actual.end(), std::inserter(ours, ours.end()), [&](const std::string& name) {
        return toolchain.count(name) == 0 && name.rfind("__odr_asan", 0) != 0;
    });
    EXPECT_EQ(ours, expected);
}

// Several threads print and change levels at once; no print may be lost or torn into another.
TEST(KavoTraceThreads, ConcurrentPrintsAllReachTheFile) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            char directory[] = "/tmp/kavoutils-threads-XXXXXX";
            if (mkdtemp(directory) == nullptr)
                std::exit(2);
            std::string name = std::string(directory) + "/threads.log";
            if (TraceStart(name.c_str()) != 0)
                std::exit(3);
            constexpr int Threads = 4;
            constexpr int Prints = 600;
            std::vector<std::thread> workers;
            for (int t = 0; t < Threads; ++t)
                workers.emplace_back([t] {
                    for (int i = 0; i < Prints; ++i) {
                        TraceLevel(10, i);
                        if (__atomic_load_n(&TraceEnabled[10], __ATOMIC_RELAXED) >= 0)
                            TracePrintf("thread %d print %d\n", t, i);
                    }
                });
            for (std::thread& worker : workers)
                worker.join();
            TraceStop();
            std::ifstream file(name);
            std::string line;
            int prints = 0;
            while (std::getline(file, line))
                prints += line.rfind("thread ", 0) == 0 ? 1 : 0;
            unlink(name.c_str());
            rmdir(directory);
            if (prints != Threads * Prints) {
                fprintf(stderr, "%d prints in the file, expected %d\n", prints, Threads * Prints);
                std::exit(1);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
