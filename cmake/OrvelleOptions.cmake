# Every build option of the project, each with what it is for.
option(ORVELLE_BUILD_TESTS "Build the test binaries and register them with CTest" ON)
option(ORVELLE_BUILD_GUI "Build the Qt program and its tests (off builds only the Qt-free core)" ON)
option(ORVELLE_BUILD_BENCH "Build the benchmarks under bench/" OFF)
option(ORVELLE_BUILD_FUZZ "Build the libFuzzer targets under fuzz/ (needs clang)" OFF)
option(ORVELLE_WERROR "Treat compiler warnings as errors" ON)
set(ORVELLE_SANITIZE "" CACHE STRING
    "Sanitizers for every target: empty, 'address,undefined' or 'thread'")
set_property(CACHE ORVELLE_SANITIZE PROPERTY STRINGS "" "address,undefined" "thread")
