# What a player downloads, made by CPack from the install rules: a Debian
# package (the games layout), a relocatable Linux archive (the plain one)
# and a Windows zip. scripts/release.sh makes all three; every name and
# field takes the version from project().

set(CPACK_PACKAGE_NAME ossivar)
set(CPACK_PACKAGE_VENDOR "The OSSIVAR authors")
set(CPACK_PACKAGE_CONTACT "The OSSIVAR authors <ossivar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fantasy role-playing game for the text terminal")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ossivar-${PROJECT_VERSION}-windows-x86_64)
  # Notepad and a double-click are all a Windows player needs to read them.
  configure_file(cmake/package/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt COPYONLY)
  file(READ ${CMAKE_BINARY_DIR}/package/LICENSE.txt licence)
  string(REPLACE "\n" "\r\n" licence "${licence}")
  file(WRITE ${CMAKE_BINARY_DIR}/package/LICENSE.txt "${licence}")
  install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/LICENSE.txt DESTINATION .)
elseif(OSSIVAR_GAMES_LAYOUT)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # CPack puts the summary above this and indents every line itself.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "OSSIVAR is a single-player role-playing game for an 80 by 24 text
terminal. Build a character from a name, a race, a career (a listed one
or your own, bought with stat tokens) and one virtue and one vice that
shift seven elemental affinities, then lead your party through an endless
series of turn-based battles in which stats grow by use.
.
Every game is recorded as an asciicast file that asciinema plays;
ossivar-replay plays a recording again exactly and checks every screen.
The package also holds tov, the content tool that dumps, checks and
builds the game's data files as JSON.")
  # The documentation Debian asks of every package: the licence in its
  # machine-readable form and the changelog, compressed without time stamps.
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/ossivar)
  configure_file(cmake/package/copyright.in ${CMAKE_BINARY_DIR}/package/copyright @ONLY)
  configure_file(cmake/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
    COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package/changelog > ${CMAKE_BINARY_DIR}/package/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/package/changelog VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${doc})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME ossivar-${PROJECT_VERSION}-linux-x86_64)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ossivar)
endif()

include(CPack)
