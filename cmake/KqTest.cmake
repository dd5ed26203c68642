# GoogleTest for the tests, and kq_add_test(NAME SOURCES... [LIBS lib...]):
# one GoogleTest executable, its cases registered with CTest one by one.
if(CMAKE_CROSSCOMPILING AND WIN32)
  # Debian's GoogleTest libraries are for the build machine; its sources
  # (package googletest) are built here with the cross compiler. The tests
  # then run, and are listed, through CMAKE_CROSSCOMPILING_EMULATOR (Wine).
  set(KQ_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross-compiled tests")
  if(NOT EXISTS ${KQ_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest sources at ${KQ_GOOGLETEST_SOURCE} (Debian: googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${KQ_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Not our code: its warnings are not ours to fail on.
  set_target_properties(gtest gtest_main gmock gmock_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  # The toolchain's C++ library (Windows threads model) has no std::mutex,
  # which GoogleTest's Notification is made of; it gets one of its own.
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/gtest_notification.hpp)
  set(kq_test_discovery DISCOVERY_MODE PRE_TEST)
else()
  find_package(GTest REQUIRED)
  set(kq_test_discovery)
endif()
include(GoogleTest)

function(kq_add_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_LIBS})
  kq_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${kq_test_discovery}
    PROPERTIES ENVIRONMENT "KQ_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
