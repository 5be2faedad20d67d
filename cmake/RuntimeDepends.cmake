# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE, written by Package.cmake, sets the
# KESTRAVA_* paths). The builders carry the saver runtime inside them, and every saver they write
# runs it on the machine that plays it: the Debian package must pull in the runtime's shared
# libraries too. One dpkg-shlibdeps pass over the runtime and the installed programs together
# gives each library once, at the highest minimum version any of them needs.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

find_program(KESTRAVA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT KESTRAVA_DPKG_SHLIBDEPS)
  message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps (package dpkg-dev)")
endif()

# The Depends entries ("libfoo1 (>= 1.2)") dpkg-shlibdeps finds for the given programs together.
function(kestrava_shlibdeps out)
  # dpkg-shlibdeps wants to run beside a debian/control; a folder per run, as two cpack runs may
  # share the build folder.
  string(RANDOM LENGTH 8 run)
  set(dir "${KESTRAVA_SHLIBDEPS_DIR}-${run}")
  file(WRITE "${dir}/debian/control" "")
  set(args "")
  foreach(program IN LISTS ARGN)
    if(NOT EXISTS "${program}")
      message(FATAL_ERROR "Not built yet: ${program}")
    endif()
    list(APPEND args "-e${program}")
  endforeach()
  execute_process(COMMAND "${KESTRAVA_DPKG_SHLIBDEPS}" --ignore-missing-info -O ${args}
                  WORKING_DIRECTORY "${dir}"
                  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REMOVE_RECURSE "${dir}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-shlibdeps failed on ${ARGN}:\n${errors}")
  endif()
  string(REGEX REPLACE "^.*Depends=" "" output "${output}")
  string(REPLACE ", " ";" entries "${output}")
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

kestrava_shlibdeps(depends "${KESTRAVA_RUNTIME_BINARY}" ${KESTRAVA_PACKAGED_PROGRAMS})
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
