# Settings shared by every target of our own: warnings as errors, and the sanitizers when asked.

set(CORVANE_WARNINGS -Wall -Wextra -Werror -Wno-unused-parameter)

# corvane_quiet_false_gcc_warnings(SOURCES...): GCC 12 at -O3 reports the members of a
# std::variant held in a moved-from temporary as "maybe uninitialized"; the reports are false and
# would stop every Release build, so these sources (and only these) go without that warning.
function(corvane_quiet_false_gcc_warnings)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS -Wno-maybe-uninitialized)
    endif()
endfunction()

set(CORVANE_SANITIZER_FLAGS "")
if(CORVANE_SANITIZE)
    set(CORVANE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
endif()
if(CORVANE_FUZZ)
    list(APPEND CORVANE_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize-recover=undefined)
endif()

# corvane_defaults(TARGET): our warnings and sanitizer flags on TARGET.
function(corvane_defaults target)
    target_compile_options(${target} PRIVATE ${CORVANE_WARNINGS} ${CORVANE_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${CORVANE_SANITIZER_FLAGS})
endfunction()

# corvane_stand_in(NAME SOURCES...): a platform stand-in, built as a shared library so that one
# process has one class registry, one notification centre and one run loop.
function(corvane_stand_in name)
    add_library(${name} SHARED ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    corvane_defaults(${name})
endfunction()

# corvane_product_library(NAME SOURCES...): a piece of a deliverable, built as a static library
# of position-independent code that the deliverable's module takes in whole.
function(corvane_product_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    corvane_defaults(${name})
endfunction()

# corvane_test(NAME SOURCES... LIBS libs...): one GoogleTest program, registered with CTest.
function(corvane_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    corvane_defaults(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "CORVANE_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
endfunction()

# corvane_benchmark(NAME SOURCES... LIBS libs...): one Google Benchmark program (not a test).
function(corvane_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
    corvane_defaults(${name})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
