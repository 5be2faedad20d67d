# The Linux runtime as the builders embed it, at the head of every saver: optimised whatever the
# build type, and stripped, so that a one-picture saver is well under a megabyte and a half.
#
# Sets kestrava_linux_runtime_embedded (the file to embed) and the target
# kestrava-saver-embedded that makes it.

# Which runtime: this build's own when it is optimised or instrumented (a sanitizer build tests
# its runtime as it is), otherwise one from a Release sub-build of the runtime alone.
set(optimised_types Release RelWithDebInfo MinSizeRel)
if(KESTRAVA_SANITIZE OR KESTRAVA_FUZZ OR CMAKE_CONFIGURATION_TYPES
   OR CMAKE_BUILD_TYPE IN_LIST optimised_types)
  set(runtime_input "$<TARGET_FILE:kestrava-saver>")
  set(runtime_depends kestrava-saver)
else()
  include(ExternalProject)
  set(optimised_dir "${CMAKE_BINARY_DIR}/runtime-optimised")
  set(optimised_args -DCMAKE_BUILD_TYPE:STRING=Release -DKESTRAVA_RUNTIME_ONLY:BOOL=ON
                     -DCMAKE_C_COMPILER:FILEPATH=${CMAKE_C_COMPILER}
                     -DCMAKE_CXX_COMPILER:FILEPATH=${CMAKE_CXX_COMPILER})
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND optimised_args -DCMAKE_CXX_COMPILER_LAUNCHER:STRING=${CMAKE_CXX_COMPILER_LAUNCHER}
                               -DCMAKE_C_COMPILER_LAUNCHER:STRING=${CMAKE_C_COMPILER_LAUNCHER})
  endif()
  ExternalProject_Add(kestrava-saver-optimised
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${optimised_dir}"
    CMAKE_GENERATOR "${CMAKE_GENERATOR}"
    CMAKE_CACHE_ARGS ${optimised_args}
    BUILD_COMMAND ${CMAKE_COMMAND} --build . --target kestrava-saver
    INSTALL_COMMAND ""
    # The sub-build decides itself what changed.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS "${optimised_dir}/runtime/kestrava-saver")
  set(runtime_input "${optimised_dir}/runtime/kestrava-saver")
  set(runtime_depends kestrava-saver-optimised "${runtime_input}")
endif()

# Sanitizer builds keep the symbol table, so that a report from inside a saver names functions.
if(KESTRAVA_SANITIZE OR KESTRAVA_FUZZ)
  set(strip_option --strip-debug)
else()
  set(strip_option --strip-all)
endif()
if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "objcopy is needed to strip the runtime the builders embed")
endif()

set(kestrava_linux_runtime_embedded "${CMAKE_BINARY_DIR}/runtime/kestrava-saver.embedded")
add_custom_command(
  OUTPUT "${kestrava_linux_runtime_embedded}"
  COMMAND "${CMAKE_OBJCOPY}" ${strip_option} "${runtime_input}" "${kestrava_linux_runtime_embedded}"
  DEPENDS ${runtime_depends}
  COMMENT "Stripping the saver runtime the builders embed"
  VERBATIM)
add_custom_target(kestrava-saver-embedded DEPENDS "${kestrava_linux_runtime_embedded}")
