# Our own targets build with warnings as errors; third-party headers come in as
# system includes through their imported targets and stay out of it.
# GCC 12 at -O2 and above reports std::string appends of short literals as
# overlapping copies (a known false positive of -Wrestrict in libstdc++'s
# inlined code), so that check is off for it.
function(ondrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
endfunction()

# Tests and benchmarks: a test executable with the shared headless main.
function(ondrel_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ondrel_test_main GTest::gtest GTest::gmock)
  ondrel_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 600)
endfunction()
