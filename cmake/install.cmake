# The installed game: `ossivar` is what players run. It is a launcher that
# gives each player a data folder of their own and starts the game binary
# there, because the game reads and writes data/ under its working
# directory.
#
# Two layouts. The plain one keeps everything under the prefix's bin/ and
# share/ossivar/, with the binary named ossivar-game beside the launcher so
# that neither name hides the other on PATH. The Debian games one
# (OSSIVAR_GAMES_LAYOUT) puts the launcher in games/, the binary where only
# the launcher looks (lib/games/ossivar/) and the content in share/games/.
include(GNUInstallDirs)

option(OSSIVAR_GAMES_LAYOUT "Install as a Debian games package lays itself out" OFF)
if(WIN32)
  # One folder to unzip and double-click in: the game starts where it lies,
  # and that folder holds data\.
  set(OSSIVAR_GAME_DIR .)
  set(OSSIVAR_GAME_NAME ossivar${CMAKE_EXECUTABLE_SUFFIX})
  set(OSSIVAR_CONTENT_DIR data)
  set(OSSIVAR_TOOL_DIR .)
elseif(OSSIVAR_GAMES_LAYOUT)
  set(OSSIVAR_LAUNCHER_DIR games)
  set(OSSIVAR_GAME_DIR lib/games/ossivar)
  set(OSSIVAR_GAME_NAME ossivar${CMAKE_EXECUTABLE_SUFFIX})
  set(OSSIVAR_CONTENT_DIR ${CMAKE_INSTALL_DATADIR}/games/ossivar)
  set(OSSIVAR_TOOL_DIR games)
else()
  set(OSSIVAR_LAUNCHER_DIR ${CMAKE_INSTALL_BINDIR})
  set(OSSIVAR_GAME_DIR ${CMAKE_INSTALL_BINDIR})
  set(OSSIVAR_GAME_NAME ossivar-game${CMAKE_EXECUTABLE_SUFFIX})
  set(OSSIVAR_CONTENT_DIR ${CMAKE_INSTALL_DATADIR}/ossivar)
  set(OSSIVAR_TOOL_DIR ${CMAKE_INSTALL_BINDIR})
endif()

install(PROGRAMS $<TARGET_FILE:ossivar> DESTINATION ${OSSIVAR_GAME_DIR} RENAME ${OSSIVAR_GAME_NAME})
# A renamed program is not a target's file to install/strip, so it is
# stripped here when the install asks for it.
if(CMAKE_STRIP)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${OSSIVAR_GAME_DIR}/${OSSIVAR_GAME_NAME}\")
  endif()")
endif()
install(FILES "${CMAKE_SOURCE_DIR}/data/Core Data.tov" DESTINATION ${OSSIVAR_CONTENT_DIR})
if(TARGET tov)
  install(TARGETS tov RUNTIME DESTINATION ${OSSIVAR_TOOL_DIR})
endif()
# The replay of a recording sits beside the tool: run by hand, never by the
# launcher, and it plays in a temporary folder of its own.
install(TARGETS ossivar-replay RUNTIME DESTINATION ${OSSIVAR_TOOL_DIR})

# The manual pages carry the version from the one place it is written.
set(OSSIVAR_MAN_PAGES "")
if(UNIX)
  list(APPEND OSSIVAR_MAN_PAGES ossivar.6 ossivar-replay.6)
endif()
if(UNIX AND TARGET tov)
  list(APPEND OSSIVAR_MAN_PAGES tov.1)
endif()
foreach(page ${OSSIVAR_MAN_PAGES})
  configure_file(man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  string(REGEX REPLACE ".*\\." "" section ${page})
  set(installed_page ${CMAKE_BINARY_DIR}/man/${page})
  if(OSSIVAR_GAMES_LAYOUT)
    # Debian wants them compressed, without a time stamp in the gzip header.
    add_custom_command(OUTPUT ${installed_page}.gz
      COMMAND gzip -9nc ${installed_page} > ${installed_page}.gz
      DEPENDS ${installed_page} VERBATIM)
    add_custom_target(man_${page} ALL DEPENDS ${installed_page}.gz)
    set(installed_page ${installed_page}.gz)
  endif()
  install(FILES ${installed_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

if(UNIX)
  # The launcher finds the game and the content from its own place, so an
  # install moved with `cmake --install --prefix`, a package's staging
  # folder or an extracted archive still works. Only folders given as
  # absolute paths are written in as they are.
  function(ossivar_from_launcher variable dir)
    if(IS_ABSOLUTE "${dir}")
      set(${variable} "${dir}" PARENT_SCOPE)
    elseif(IS_ABSOLUTE "${OSSIVAR_LAUNCHER_DIR}")
      set(${variable} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    else()
      file(RELATIVE_PATH relative "/prefix/${OSSIVAR_LAUNCHER_DIR}" "/prefix/${dir}")
      if(relative STREQUAL "")
        set(relative ".")
      endif()
      set(${variable} "$here/${relative}" PARENT_SCOPE)
    endif()
  endfunction()
  ossivar_from_launcher(OSSIVAR_LAUNCHER_GAME ${OSSIVAR_GAME_DIR})
  ossivar_from_launcher(OSSIVAR_LAUNCHER_CONTENT ${OSSIVAR_CONTENT_DIR})
  configure_file(scripts/launcher.sh.in ${CMAKE_BINARY_DIR}/launcher/ossivar @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/ossivar DESTINATION ${OSSIVAR_LAUNCHER_DIR})
endif()

include(cmake/package.cmake)
