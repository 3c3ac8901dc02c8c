# Installation and packages: the program goes where Debian puts games, with a manual page made
# at build time from the program's own --help and --version (so the page cannot drift from the
# program); CPack turns the installation into a .deb on Linux and a zip of the exe on Windows.
# Included by the top-level CMakeLists.txt after the program's target exists.

option(REVERSI_DEBIAN_PACKAGE
  "Build for the Debian package: compressed manual page, Debian's hardening flags (tools/package.sh)"
  OFF)
if(REVERSI_DEBIAN_PACKAGE AND NOT WIN32)
  # What dpkg-buildflags would add for a packaged build: read-only relocations bound at start-up,
  # and the C library's checked variants of its string and memory routines.
  target_compile_definitions(reversi_build_flags INTERFACE _FORTIFY_SOURCE=2)
  target_link_options(reversi_build_flags INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

if(WIN32)
  # The zip holds the exe, its README and the licence side by side.
  set(reversi_games_dir .)
  set(reversi_doc_dir .)
else()
  set(reversi_games_dir games)
  set(reversi_doc_dir share/doc/reversi)
endif()
install(TARGETS reversi RUNTIME DESTINATION ${reversi_games_dir})
if(WIN32)
  install(FILES README.md LICENSE DESTINATION ${reversi_doc_dir})
else()
  install(FILES docs/copyright DESTINATION ${reversi_doc_dir})
endif()

# The manual page needs help2man and the native program (a cross build cannot run it here).
find_program(REVERSI_HELP2MAN help2man)
find_program(REVERSI_PRECONV preconv)
find_program(REVERSI_GZIP gzip)
if(NOT CMAKE_CROSSCOMPILING AND REVERSI_HELP2MAN AND REVERSI_PRECONV AND REVERSI_GZIP)
  set(reversi_manpage ${PROJECT_BINARY_DIR}/reversi.6)
  add_custom_command(OUTPUT ${reversi_manpage} ${reversi_manpage}.gz
    COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${REVERSI_HELP2MAN} -DPRECONV=${REVERSI_PRECONV}
            -DGZIP=${REVERSI_GZIP} -DPROGRAM=$<TARGET_FILE:reversi>
            -DINCLUDE=${PROJECT_SOURCE_DIR}/docs/reversi.h2m -DOUTPUT=${reversi_manpage}
            -P ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    DEPENDS reversi ${PROJECT_SOURCE_DIR}/docs/reversi.h2m ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMENT "Writing the manual page reversi.6 from reversi --help"
    VERBATIM)
  add_custom_target(reversi_manpage ALL DEPENDS ${reversi_manpage})
  if(REVERSI_DEBIAN_PACKAGE)
    install(FILES ${reversi_manpage}.gz DESTINATION share/man/man6)
  else()
    install(FILES ${reversi_manpage} DESTINATION share/man/man6)
  endif()
elseif(NOT CMAKE_CROSSCOMPILING)
  message(STATUS "help2man, preconv or gzip not found: no manual page (apt-get install help2man)")
endif()

# Debian wants the changelog compressed without a time stamp in the gzip header.
if(NOT WIN32 AND REVERSI_GZIP)
  set(reversi_changelog ${PROJECT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${reversi_changelog}
    COMMAND ${REVERSI_GZIP} -9nc ${PROJECT_SOURCE_DIR}/docs/changelog > ${reversi_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog
    COMMENT "Compressing the changelog")
  add_custom_target(reversi_changelog ALL DEPENDS ${reversi_changelog})
  install(FILES ${reversi_changelog} DESTINATION ${reversi_doc_dir})
endif()

set(CPACK_PACKAGE_NAME reversi)
set(CPACK_PACKAGE_VENDOR "The reversi developers")
set(CPACK_PACKAGE_CONTACT "The reversi developers <reversi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console Reversi against a rule-based computer opponent")
set(CPACK_PACKAGE_DESCRIPTION
  "A text-mode Reversi game on an 8x8 board for a terminal. Either side can be
a person at the keyboard or the COM, a computer opponent that ranks its
moves by the mobility they leave to both sides and picks one by fixed rules
and one coin toss. The board is drawn before every turn and moves are typed
as two-digit numbers (row, then column).
.
The game's own texts are Japanese; --english writes them in English, and
further options show the playable squares and the last move, slow the
computer down for watching, fix its random seed and keep a record of every
game in the usual transcript notation.")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME reversi-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
