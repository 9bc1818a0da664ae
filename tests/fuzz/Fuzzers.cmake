# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# A second build of the core with clang, libFuzzer, AddressSanitizer and UBSan, in build/fuzz,
# made with every build of the project; CTest runs each target for a bounded time from its
# committed seeds.
find_program(SENROKAN_CLANGXX NAMES clang++-14 clang++)
if(NOT SENROKAN_CLANGXX)
    message(FATAL_ERROR "clang++ is needed for the fuzz targets: run scripts/deps, "
                        "or configure with -DSENROKAN_BUILD_FUZZERS=OFF")
endif()

include(ExternalProject)
set(SENROKAN_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(senrokan_fuzzers
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${SENROKAN_FUZZ_DIR}
    CMAKE_ARGS -DSENROKAN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DCMAKE_CXX_COMPILER=${SENROKAN_CLANGXX}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

set(SENROKAN_FUZZ_SECONDS 20 CACHE STRING "How long CTest runs each fuzz target")
foreach(target fuzz_declared_coding fuzz_text_search fuzz_settings fuzz_unbase64 fuzz_feed
               fuzz_time_of_day)
    add_test(NAME ${target}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.sh
                     ${SENROKAN_FUZZ_DIR}/tests/fuzz/${target}
                     ${CMAKE_CURRENT_LIST_DIR}/corpus/${target}
                     ${SENROKAN_FUZZ_SECONDS} ${SENROKAN_FUZZ_DIR}/artifacts)
    set_tests_properties(${target} PROPERTIES TIMEOUT 300)
endforeach()
