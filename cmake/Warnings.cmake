# One set of warnings for all of our own targets.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Wunused -Woverloaded-virtual -Wimplicit-fallthrough)

# Helper for a module library: every .cpp in the folder, public headers by "module/Name.h".
function(kestrava_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
endfunction()

# Helper for a module's test executable: every .cpp in the folder, registered with ctest.
function(kestrava_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    KESTRAVA_TEST_DATA_DIR="${KESTRAVA_TEST_DATA_DIR}"
    KESTRAVA_SHARED_DIR="${KESTRAVA_SHARED_DIR}")
  include(GoogleTest)
  # A test that hangs fails after five minutes instead of holding up the run.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
                       PROPERTIES TIMEOUT 300)
endfunction()
