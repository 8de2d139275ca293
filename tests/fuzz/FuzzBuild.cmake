# The fuzz build (MORLANZ_FUZZ): clang's libFuzzer with AddressSanitizer and UBSan. Included before
# the sources, so every project library gets the coverage hooks (fuzzer-no-link); only the fuzz
# targets in tests/fuzz link the fuzzer's own main().
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MORLANZ_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()
if(MORLANZ_ASAN)
    message(FATAL_ERROR "MORLANZ_FUZZ brings its own sanitizers; leave MORLANZ_ASAN off")
endif()
if(NOT MORLANZ_TESTS)
    message(FATAL_ERROR "MORLANZ_FUZZ registers its targets with ctest; leave MORLANZ_TESTS on")
endif()

# Any undefined behaviour must stop the run, or libFuzzer would never see it as a finding.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
