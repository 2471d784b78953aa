# The installed game: `ossivar` is what players run. It is a launcher that
# gives each player a data folder of their own and starts the game binary
# there, because the game reads and writes data/ under its working
# directory. The binary is installed as ossivar-game so that neither name
# hides the other, whatever the order of the folders on PATH.
include(GNUInstallDirs)

set(OSSIVAR_GAME_NAME ossivar-game${CMAKE_EXECUTABLE_SUFFIX})
set(OSSIVAR_CONTENT_DIR ${CMAKE_INSTALL_DATADIR}/ossivar)

install(PROGRAMS $<TARGET_FILE:ossivar> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${OSSIVAR_GAME_NAME})
install(FILES "${CMAKE_SOURCE_DIR}/data/Core Data.tov" DESTINATION ${OSSIVAR_CONTENT_DIR})
if(TARGET tov)
  install(TARGETS tov RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX)
  # The launcher finds the content beside itself, so an install moved with
  # `cmake --install --prefix` or a package's staging folder still works.
  # Only folders given as absolute paths are written in as they are.
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${OSSIVAR_CONTENT_DIR}")
    set(OSSIVAR_LAUNCHER_CONTENT "${CMAKE_INSTALL_FULL_DATADIR}/ossivar")
  else()
    file(RELATIVE_PATH relative_content "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${OSSIVAR_CONTENT_DIR}")
    set(OSSIVAR_LAUNCHER_CONTENT "$here/${relative_content}")
  endif()
  configure_file(scripts/launcher.sh.in ${CMAKE_BINARY_DIR}/launcher/ossivar @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/ossivar DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The manual pages carry the version from the one place it is written.
foreach(page ossivar.6 tov.1)
  configure_file(man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/man/ossivar.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
if(TARGET tov)
  install(FILES ${CMAKE_BINARY_DIR}/man/tov.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
