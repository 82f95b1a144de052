# Build settings shared by every target of the project.

# Strict warnings (errors with PILE_WARNINGS_AS_ERRORS), and floating point that gives the
# same doubles on every machine: no fused multiply-add contraction, never -ffast-math or
# -march=native.
function(pile_strict_target target)
    set(as_errors "")
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        if(PILE_WARNINGS_AS_ERRORS)
            set(as_errors -Werror)
        endif()
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
            ${as_errors} -ffp-contract=off)
        # GCC 12 at -O2 and above sees an overlapping copy in libstdc++'s own
        # operator+(const CharT*, basic_string&&) that cannot happen (GCC bugs 105329, 105651):
        # the warning stays, but not as an error.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
           AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            target_compile_options(${target} PRIVATE -Wno-error=restrict)
        endif()
    elseif(MSVC)
        if(PILE_WARNINGS_AS_ERRORS)
            set(as_errors /WX)
        endif()
        target_compile_options(${target} PRIVATE /W4 ${as_errors} /fp:precise /utf-8)
    endif()
endfunction()

# One line registers a GoogleTest program with CTest:
#   pile_add_gtest(NAME engine_tests SOURCES a.cpp b.cpp LIBS pile_engine)
# ENVIRONMENT takes a single NAME=value: test discovery flattens a list of them, so a test
# that needs more sets the rest itself.
function(pile_add_gtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    pile_strict_target(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    include(GoogleTest)
    # A cross-built test lists its cases when CTest runs (under wine, set up by the test
    # script), so that building needs no wine.
    # Wine may take its time to start on a busy machine.
    if(CMAKE_CROSSCOMPILING)
        set(discovery PRE_TEST)
        set(discovery_timeout 300)
    else()
        set(discovery POST_BUILD)
        set(discovery_timeout 60)
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE ${discovery}
        DISCOVERY_TIMEOUT ${discovery_timeout}
        PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()

# For tests that read schedules: under wine the ANSI code page follows the locale, and with 936
# the Windows decoding of GBK (MultiByteToWideChar) is tested rather than skipped.
set(PILE_CODE_PAGE_TEST_ENV "")
if(CMAKE_CROSSCOMPILING)
    set(PILE_CODE_PAGE_TEST_ENV LC_ALL=zh_CN.UTF-8)
endif()
