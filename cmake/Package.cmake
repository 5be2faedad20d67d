# The Debian package: `cpack -G DEB` in a build folder makes kestrava_<version>_<arch>.deb holding
# what `cmake --install` installs (see Install.cmake), under /usr.

# Debian wants the licence as /usr/share/doc/<package>/copyright.
install(FILES "${CMAKE_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrava"
        RENAME copyright)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kestrava")
set(CPACK_PACKAGE_VENDOR "Kestrava developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver builder for pictures, music and transition effects")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrava builds screen savers from a slide show of pictures (JPEG, BMP, GIF) or a sequence of
Flash movies (SWF), with music (MIDI, MP3, WAV), a choice of 150 transition effects and an
optional darkening mask. Each saver is one self-contained program for XScreenSaver on Linux or
a .scr file for Windows. The package holds the wizard (kestrava), the command-line builder
(kestrava-build) and the user's manual.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# The build's debug information is for developers; the package carries stripped programs. Strip
# leaves the saver runtime inside the builders alone: there it is data.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrava developers")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Depends comes from the libraries the installed programs link and those of the saver runtime,
# which is not installed as a file, yet every saver the builders write runs it: cpack reads a file
# (below) that asks dpkg-shlibdeps about all three. Its paths are those of the built programs,
# known only at generation time.
set(kestrava_packaged_programs "")
foreach(program kestrava kestrava-build)
  if(TARGET ${program})
    list(APPEND kestrava_packaged_programs "$<TARGET_FILE:${program}>")
  endif()
endforeach()
# The runtime as the builders embed it (a debug build's comes from its own optimised sub-build).
get_target_property(kestrava_embedded_runtime_file kestrava_embedded_runtime
                    KESTRAVA_LINUX_RUNTIME_FILE)
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/CPackKestrava.cmake")
file(GENERATE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" CONTENT "\
set(KESTRAVA_RUNTIME_BINARY \"${kestrava_embedded_runtime_file}\")
set(KESTRAVA_PACKAGED_PROGRAMS \"${kestrava_packaged_programs}\")
set(KESTRAVA_SHLIBDEPS_DIR \"${CMAKE_BINARY_DIR}/CMakeFiles/kestrava-shlibdeps\")
include(\"${CMAKE_SOURCE_DIR}/cmake/RuntimeDepends.cmake\")
")

include(CPack)
