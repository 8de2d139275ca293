# Sanitizer builds read the suppressions for system libraries.
if(MORLANZ_ASAN)
    # A finding of UBSan fails the test instead of scrolling by.
    set(MORLANZ_SANITIZER_ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
                              "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endif()
if(MORLANZ_TSAN)
    # A report fails the test (exit code 66 at the end); Qt's own accesses are left out (see the file).
    set(MORLANZ_SANITIZER_ENV "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp:second_deadlock_stack=1")
endif()

# morlanz_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# One executable per subject. Every test runs in its own temporary folder (see TempWorkDir),
# and GUI tests get Qt's offscreen platform so they need no display.
function(morlanz_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} morlanz_testsupport GTest::gtest GTest::gtest_main
                                          morlanz_warnings)
    add_test(NAME ${name} COMMAND ${name})
    set(env "LC_ALL=C.UTF-8" ${MORLANZ_SANITIZER_ENV})
    if(ARG_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
