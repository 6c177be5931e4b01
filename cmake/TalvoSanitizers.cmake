# Builds that hunt for memory errors and undefined behaviour: the whole tree
# under AddressSanitizer and UndefinedBehaviorSanitizer (TALVO_SANITIZE), or
# the libFuzzer targets of fuzz/ under the same two (TALVO_FUZZ, clang only).
option(TALVO_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TALVO_FUZZ "Build the libFuzzer targets in fuzz/ and test with them (clang only)" OFF)

if(TALVO_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "TALVO_FUZZ needs clang's libFuzzer: the fuzz targets are left out")
    set(TALVO_FUZZ OFF)
endif()

if(TALVO_SANITIZE OR TALVO_FUZZ)
    # Undefined behaviour ends the program, so that no test can pass over it.
    set(talvo_sanitizer_flags
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_compile_options(${talvo_sanitizer_flags})
    add_link_options(${talvo_sanitizer_flags})

    # What the runtimes read at start. Leaks are reported and fail the test;
    # tests/lsan.supp names only third-party libraries.
    set(TALVO_SANITIZER_ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

if(TALVO_FUZZ)
    # Coverage feedback from every library that the fuzz targets reach.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
