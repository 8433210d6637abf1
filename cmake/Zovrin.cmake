# Helpers shared by every module's CMakeLists.

# zv_add_module(<target> SOURCES ... [DEPS ...])
# A static library of one subsystem folder; headers are included by their path from the
# repository root ("platform/rtl/Format.h").
function(zv_add_module target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# zv_add_test(<label> SOURCES ... DEPS ...)
# One test executable per module; the label is the module's folder with '-' for '/'
# (platform-rtl), so that `ctest -L platform-rtl` runs one module. Each fails when a suite's
# set-up fails, which googletest would report as skipped tests (SuiteSetUpGuard.cpp).
function(zv_add_test label)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  set(target test-${label})
  add_executable(${target} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/SuiteSetUpGuard.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  gtest_discover_tests(${target}
    PROPERTIES LABELS ${label}
    DISCOVERY_TIMEOUT 60)
endfunction()

# zv_add_bench(<name> SOURCES ... DEPS ...)
function(zv_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench-${name} ${ARG_SOURCES})
  target_link_libraries(bench-${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
