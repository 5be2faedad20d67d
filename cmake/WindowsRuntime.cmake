# The Windows runtime, cross-compiled by mingw-w64 in a sub-build of its own (win32/), and the
# tests that run it under Wine. Without the cross compiler the builders carry no Windows runtime.
include(ExternalProject)

find_program(KESTRAVA_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(KESTRAVA_WINE NAMES wine64 wine)
# The sanitizer builds test the Linux side; the Windows runtime is made and tested once.
if(KESTRAVA_SANITIZE OR KESTRAVA_FUZZ)
  set(windows_default OFF)
else()
  set(windows_default ON)
endif()
option(KESTRAVA_WINDOWS "Cross-compile the Windows runtime (needs mingw-w64)" ${windows_default})
if(NOT KESTRAVA_WINDOWS OR NOT KESTRAVA_MINGW_CXX)
  message(STATUS "No Windows runtime in this build: the builders make Linux savers only")
  return()
endif()

set(KESTRAVA_WINDOWS_DIR "${CMAKE_BINARY_DIR}/windows")
set(windows_cache_args
  -DCMAKE_TOOLCHAIN_FILE:FILEPATH=${CMAKE_SOURCE_DIR}/cmake/MinGW64.cmake
  -DCMAKE_BUILD_TYPE:STRING=Release
  -DKESTRAVA_SHARED_DIR:PATH=${KESTRAVA_SHARED_DIR})
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND windows_cache_args -DCMAKE_CXX_COMPILER_LAUNCHER:STRING=${CMAKE_CXX_COMPILER_LAUNCHER}
                                 -DCMAKE_C_COMPILER_LAUNCHER:STRING=${CMAKE_C_COMPILER_LAUNCHER})
endif()
ExternalProject_Add(kestrava-windows
  SOURCE_DIR "${CMAKE_SOURCE_DIR}/win32"
  BINARY_DIR "${KESTRAVA_WINDOWS_DIR}"
  CMAKE_GENERATOR "${CMAKE_GENERATOR}"
  CMAKE_CACHE_ARGS ${windows_cache_args}
  INSTALL_COMMAND ""
  # The sub-build decides itself what changed.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS "${KESTRAVA_WINDOWS_DIR}/kestrava-saver.exe"
                   "${KESTRAVA_WINDOWS_DIR}/kestrava-region.exe"
                   "${KESTRAVA_WINDOWS_DIR}/raster_tests.exe"
                   "${KESTRAVA_WINDOWS_DIR}/kestrava-decode.exe"
                   "${KESTRAVA_WINDOWS_DIR}/kestrava-preview-host.exe")
# What the builders embed.
add_custom_target(kestrava-saver-windows DEPENDS kestrava-windows)
