# Where `cmake --install` puts Kestrava, and the manual beside the wizard in the build tree.
#
# The wizard and the command-line builder look for mask1.jpg, and the wizard for manual/index.html,
# in the folder of their own executable (found through /proc/self/exe, so through any symlink).
# Both programs therefore live together in <libdir>/kestrava/ with those files, and bin/ holds
# symlinks to them:
#
#   bin/kestrava, bin/kestrava-build          -> ../<libdir>/kestrava/...
#   <libdir>/kestrava/{kestrava, kestrava-build, mask1.jpg, manual/}
#   share/applications/kestrava.desktop
#   share/icons/hicolor/{48x48,256x256}/apps/kestrava.png

include(GNUInstallDirs)

set(KESTRAVA_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/kestrava")
set(KESTRAVA_MANUAL_SOURCE "${CMAKE_SOURCE_DIR}/docs/manual")

# Links in bin/ point at the programs by a relative path, so the installed tree can be moved
# (or staged with DESTDIR) as a whole.
function(kestrava_install_bin_link program)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(target "${CMAKE_INSTALL_FULL_LIBDIR}/kestrava/${program}")
  else()
    file(RELATIVE_PATH target "/prefix/${CMAKE_INSTALL_BINDIR}"
         "/prefix/${KESTRAVA_INSTALL_DIR}/${program}")
  endif()
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
    set(bin_dir "\$ENV{DESTDIR}${CMAKE_INSTALL_BINDIR}")
  else()
    set(bin_dir "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}")
  endif()
  install(CODE "
    file(MAKE_DIRECTORY \"${bin_dir}\")
    message(STATUS \"Installing: ${bin_dir}/${program} -> ${target}\")
    file(CREATE_LINK \"${target}\" \"${bin_dir}/${program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"${bin_dir}/${program}\")
  ")
endfunction()

# The programs, together with what they read from their own folder.
function(kestrava_install_program program)
  install(TARGETS ${program} RUNTIME DESTINATION "${KESTRAVA_INSTALL_DIR}")
  kestrava_install_bin_link(${program})
endfunction()

install(FILES "${CMAKE_SOURCE_DIR}/resources/mask1.jpg" DESTINATION "${KESTRAVA_INSTALL_DIR}")
install(DIRECTORY "${KESTRAVA_MANUAL_SOURCE}/" DESTINATION "${KESTRAVA_INSTALL_DIR}/manual")

# The desktop entry and its icon.
install(FILES "${CMAKE_SOURCE_DIR}/packaging/kestrava.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/resources/art/kestrava.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps")
install(FILES "${CMAKE_SOURCE_DIR}/resources/art/kestrava-48.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps" RENAME kestrava.png)

# The manual beside the wizard in the build tree, so Help works without installing. Copied again
# when a file of the manual changes or a copy has gone.
file(GLOB_RECURSE kestrava_manual_files CONFIGURE_DEPENDS RELATIVE "${KESTRAVA_MANUAL_SOURCE}"
     "${KESTRAVA_MANUAL_SOURCE}/*")

# The folder the wizard is built into, as its target says, else where it is meant to go.
function(kestrava_wizard_dir out)
  set(dir "${CMAKE_BINARY_DIR}/app")
  if(TARGET kestrava)
    get_target_property(dir kestrava RUNTIME_OUTPUT_DIRECTORY)
    if(NOT dir)
      get_target_property(dir kestrava BINARY_DIR)
    endif()
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# Everything that depends on which programs exist runs once the whole tree is read, so it does not
# matter where this file is included.
function(kestrava_finish_install)
  kestrava_wizard_dir(wizard_dir)
  if(NOT kestrava_manual_files)
    message(FATAL_ERROR "The manual is missing: no files in ${KESTRAVA_MANUAL_SOURCE}")
  endif()
  set(sources "")
  set(copies "")
  foreach(file IN LISTS kestrava_manual_files)
    list(APPEND sources "${KESTRAVA_MANUAL_SOURCE}/${file}")
    list(APPEND copies "${wizard_dir}/manual/${file}")
  endforeach()
  add_custom_command(
    OUTPUT ${copies}
    COMMAND ${CMAKE_COMMAND} -E copy_directory "${KESTRAVA_MANUAL_SOURCE}" "${wizard_dir}/manual"
    DEPENDS ${sources}
    COMMENT "Copying the manual beside the wizard"
    VERBATIM)
  add_custom_target(kestrava_manual DEPENDS ${copies})

  if(TARGET kestrava)
    add_dependencies(kestrava kestrava_manual)
    kestrava_install_program(kestrava)
  endif()
  if(TARGET kestrava-build)
    kestrava_install_program(kestrava-build)
  endif()
endfunction()

cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL kestrava_finish_install)
