# The Windows build compiles GoogleTest itself (cmake/Windows.cmake).
if(NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# tarvel_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [PREFIX ...]): one
# GoogleTest binary whose cases CTest lists when it runs them (so cross-built
# binaries are never run at build time), their names prefixed when given.
function(tarvel_add_test name)
  cmake_parse_arguments(T "" "PREFIX" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main tarvel_warnings)
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${T_PREFIX}"
                       PROPERTIES LABELS "${labels}")
endfunction()
