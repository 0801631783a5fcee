# install.cmake -- `cmake --install` lays Stardrift out the way Debian lays
# out games:
#
#   bin/stardrift                      launcher: cds into the data folder, runs the game
#   libexec/stardrift/stardrift        the game itself
#   share/games/stardrift/graphics/    the sprites  } read relative to the
#   share/games/stardrift/sounds/      the sounds   } working directory
#   share/applications/stardrift.desktop
#   share/icons/hicolor/64x64/apps/stardrift.png
#   share/man/man6/stardrift.6
#
# Every folder is relative to the prefix (--prefix at install time wins), and
# DESTDIR is honoured. A Debian package would set STARDRIFT_INSTALL_BINDIR to
# "games" to put the command in /usr/games.

include(GNUInstallDirs)

set(STARDRIFT_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
  "Folder of the stardrift command (the launcher), under the prefix")
set(STARDRIFT_INSTALL_PROGDIR "${CMAKE_INSTALL_LIBEXECDIR}/stardrift" CACHE STRING
  "Folder of the game's program, which only the launcher runs, under the prefix")
set(STARDRIFT_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/games/stardrift" CACHE STRING
  "Folder of graphics/ and sounds/, under the prefix")

# How the launcher reaches a folder: relative to its own folder when both are
# under the prefix, so the tree works wherever it is installed or moved; by
# the absolute path otherwise (an absolute folder, or a relative one seen
# from an absolute STARDRIFT_INSTALL_BINDIR: then the configure-time prefix
# counts).
function(stardrift_launch_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  elseif(IS_ABSOLUTE "${STARDRIFT_INSTALL_BINDIR}")
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  else()
    file(RELATIVE_PATH rel "/prefix/${STARDRIFT_INSTALL_BINDIR}" "/prefix/${dir}")
    set(${out} "$here/${rel}" PARENT_SCOPE)
  endif()
endfunction()

stardrift_launch_path(STARDRIFT_LAUNCH_DATA "${STARDRIFT_INSTALL_DATADIR}")
stardrift_launch_path(STARDRIFT_LAUNCH_PROGDIR "${STARDRIFT_INSTALL_PROGDIR}")
set(STARDRIFT_LAUNCH_GAME "${STARDRIFT_LAUNCH_PROGDIR}/stardrift")
configure_file(${PROJECT_SOURCE_DIR}/cmake/launcher.sh.in
  ${PROJECT_BINARY_DIR}/launcher/stardrift @ONLY)

install(PROGRAMS ${PROJECT_BINARY_DIR}/launcher/stardrift
  DESTINATION "${STARDRIFT_INSTALL_BINDIR}")
install(TARGETS stardrift
  RUNTIME DESTINATION "${STARDRIFT_INSTALL_PROGDIR}")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/graphics/
  DESTINATION "${STARDRIFT_INSTALL_DATADIR}/graphics"
  FILES_MATCHING PATTERN "*.bmp")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sounds/
  DESTINATION "${STARDRIFT_INSTALL_DATADIR}/sounds"
  FILES_MATCHING PATTERN "*.wav")
install(FILES ${PROJECT_SOURCE_DIR}/assets/stardrift.desktop
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES ${PROJECT_SOURCE_DIR}/assets/icon/stardrift.png
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps")
install(FILES ${PROJECT_SOURCE_DIR}/docs/stardrift.6
  DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
