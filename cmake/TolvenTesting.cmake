# Helpers for the test tree: GoogleTest executables and libFuzzer targets.

# tolven_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
function(tolven_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES LABELS unit)
endfunction()

# tolven_add_fuzzer(NAME SOURCES a.cpp LIBS lib SECONDS 15 SEEDS dir)
# libFuzzer needs clang: the sanitized test build is configured with clang++, where each fuzzer
# also gets a short bounded run as a test. Under another compiler the fuzzer is left out.
function(tolven_add_fuzzer name)
    cmake_parse_arguments(ARG "" "SECONDS;SEEDS" "SOURCES;LIBS" ${ARGN})
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        return()
    endif()
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 15)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    add_test(NAME ${name}_bounded_run
             COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                     $<TARGET_FILE:${name}> -max_total_time=${ARG_SECONDS} -rss_limit_mb=2048
                     -seed=1 ${corpus} ${ARG_SEEDS})
    set_tests_properties(${name}_bounded_run PROPERTIES LABELS fuzz TIMEOUT 300)
    file(MAKE_DIRECTORY ${corpus})
endfunction()
