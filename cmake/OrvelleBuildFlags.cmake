# One INTERFACE target that carries the language standards, warnings and sanitizers to every target.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 11)
set(CMAKE_C_STANDARD_REQUIRED ON)
set(CMAKE_C_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

add_library(orvelle_build_flags INTERFACE)
add_library(Orvelle::BuildFlags ALIAS orvelle_build_flags)
target_compile_options(orvelle_build_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor> -Wcast-align -Wformat=2
    -Wimplicit-fallthrough -Wundef
    $<$<BOOL:${ORVELLE_WERROR}>:-Werror>)
target_compile_definitions(orvelle_build_flags INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_NO_KEYWORDS)

if(ORVELLE_SANITIZE)
    # Applied to every target so that all objects of one binary are instrumented alike.
    add_compile_options(-fsanitize=${ORVELLE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${ORVELLE_SANITIZE})
endif()

if(ORVELLE_BUILD_FUZZ)
    # Every library under test carries libFuzzer's coverage instrumentation, or the fuzzers run blind;
    # the fuzz targets themselves add -fsanitize=fuzzer, which brings the driver.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
