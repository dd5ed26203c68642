# GoogleTest for the tests, and kq_add_test(NAME SOURCES... [LIBS lib...]):
# one GoogleTest executable, its cases registered with CTest one by one.
find_package(GTest REQUIRED)
include(GoogleTest)

function(kq_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_LIBS})
  kq_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "KQ_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
