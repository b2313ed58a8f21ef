# Wine tests (label "wine"): the x86-64 Windows build in LUMAREST_WIN64_DIR run
# under wine64 in one Wine prefix per test run. The prefix is made by a CTest
# fixture; the tests share its registry, so they take a lock and run one by one.
if(NOT EXISTS /usr/lib/wine/wine64)
  message(STATUS "wine64 not found: the Wine tests are not registered")
  return()
endif()

set(wine_prefix ${CMAKE_CURRENT_BINARY_DIR}/wineprefix)
add_test(NAME win.wine_prefix_create
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_prefix.sh create ${wine_prefix})
add_test(NAME win.wine_prefix_stop
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_prefix.sh stop ${wine_prefix})
set_tests_properties(win.wine_prefix_create PROPERTIES
  FIXTURES_SETUP wine_prefix RESOURCE_LOCK wine_prefix LABELS wine)
set_tests_properties(win.wine_prefix_stop PROPERTIES
  FIXTURES_CLEANUP wine_prefix RESOURCE_LOCK wine_prefix LABELS wine)

add_library(lumarest_wine_harness STATIC wine_harness.cpp)
target_compile_definitions(lumarest_wine_harness PUBLIC
  LUMAREST_WINEPREFIX="${wine_prefix}"
  LUMAREST_WIN64_DIR="${LUMAREST_WIN64_DIR}")
target_include_directories(lumarest_wine_harness PUBLIC ${PROJECT_SOURCE_DIR})

function(lumarest_wine_test target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE lumarest_wine_harness GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${target} TEST_PREFIX "win." NO_PRETTY_VALUES PROPERTIES
    LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix)
endfunction()

lumarest_wine_test(wine_binding_test wine_binding_test.cpp)
target_link_libraries(wine_binding_test PRIVATE lumarest_fixture)

# End to end against the native build of the tool, on the table of cases
# (lumarest_end_to_end_cases, CMakeLists.txt).
if(TARGET lumarest_end_to_end_cases)
  lumarest_wine_test(wine_end_to_end_test wine_end_to_end_test.cpp)
  target_link_libraries(wine_end_to_end_test PRIVATE lumarest_end_to_end_cases)
  target_compile_definitions(wine_end_to_end_test PRIVATE
    LUMAREST_NATIVE_TOOL="$<TARGET_FILE:LumarestTC>")
  add_dependencies(wine_end_to_end_test LumarestTC)
endif()
