# Install rules and the Debian package (cpack -G DEB in the build folder).
#
# The layout is Debian's for games, relative to the prefix:
#   games/                        quillfen, quillfen-tool, quillfen-xboard
#   share/man/man6/               their manual pages, gzip -9n
#   share/games/plugins/xboard/   quillfen.eng, for xboard's -autoInstall
#   share/games/plugins/logos/    quillfen.png, rendered from the SVG
#   share/applications/           quillfen.desktop
#   share/icons/hicolor/scalable/apps/quillfen.svg
#   share/doc/quillfen/           copyright, changelog.gz
# The plugin file and the desktop entry name the programs by their absolute
# installed path, so one installed with --prefix ~/.local starts its own
# engine; they are written at install time, when the prefix is known.

set(QUILLFEN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUILLFEN_INSTALL_GAMESDIR games CACHE STRING
  "Programs, relative to the prefix (Debian: games, i.e. /usr/games)")
set(QUILLFEN_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillfen)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QUILLFEN_GENERATED ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${QUILLFEN_GENERATED})

install(TARGETS quillfen quillfen-tool RUNTIME DESTINATION ${QUILLFEN_INSTALL_GAMESDIR})
install(PROGRAMS ${QUILLFEN_PACKAGING_DIR}/quillfen-xboard
  DESTINATION ${QUILLFEN_INSTALL_GAMESDIR})

# Manual pages and the changelog, compressed as Debian wants them
# (-n: no name or time stamp, so the same source gives the same bytes).
find_program(QUILLFEN_GZIP gzip)
set(quillfen_manpages quillfen.6 quillfen-tool.6 quillfen-xboard.6)
set(quillfen_compressed)
foreach(page ${quillfen_manpages} changelog)
  set(source ${QUILLFEN_PACKAGING_DIR}/${page})
  if(page MATCHES "[.]6$")
    # The version in the page's footer.
    configure_file(${source} ${QUILLFEN_GENERATED}/${page} @ONLY)
    set(source ${QUILLFEN_GENERATED}/${page})
  endif()
  if(QUILLFEN_GZIP)
    set(output ${QUILLFEN_GENERATED}/${page}.gz)
    add_custom_command(OUTPUT ${output}
      COMMAND ${QUILLFEN_GZIP} -9n -c ${source} > ${output}
      DEPENDS ${source}
      COMMENT "Compressing ${page}")
  else()
    set(output ${source})
  endif()
  list(APPEND quillfen_compressed ${output})
  if(page STREQUAL "changelog")
    install(FILES ${output} DESTINATION ${QUILLFEN_INSTALL_DOCDIR})
  else()
    install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  endif()
endforeach()
install(FILES ${QUILLFEN_PACKAGING_DIR}/copyright DESTINATION ${QUILLFEN_INSTALL_DOCDIR})

# The changelog's newest entry names the version being packaged.
file(STRINGS ${QUILLFEN_PACKAGING_DIR}/changelog quillfen_changelog_top LIMIT_COUNT 1)
if(NOT quillfen_changelog_top MATCHES "^quillfen \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/changelog starts with \"${quillfen_changelog_top}\", "
    "not an entry for version ${PROJECT_VERSION}")
endif()

# The logo: the SVG rendered to xboard's 100x50 PNG by a Debian-packaged
# tool (librsvg2-bin's rsvg-convert, else ImageMagick's convert). A tool is
# tried once here on the logo itself: a program of that name that cannot
# render SVG must not break the build of the engine, it only leaves the
# logo out.
find_program(QUILLFEN_RSVG_CONVERT rsvg-convert)
find_program(QUILLFEN_IM_CONVERT convert)
set(logo_svg ${QUILLFEN_PACKAGING_DIR}/quillfen.svg)
set(logo_png ${QUILLFEN_GENERATED}/quillfen.png)
set(logo_command)
if(QUILLFEN_RSVG_CONVERT)
  set(logo_command ${QUILLFEN_RSVG_CONVERT} -w 100 -h 50 -o ${logo_png} ${logo_svg})
elseif(QUILLFEN_IM_CONVERT)
  set(logo_command ${QUILLFEN_IM_CONVERT} -background none ${logo_svg} -resize 100x50!
                   -strip ${logo_png})
endif()
if(logo_command)
  file(MAKE_DIRECTORY ${QUILLFEN_GENERATED})
  execute_process(COMMAND ${logo_command} RESULT_VARIABLE logo_result
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT logo_result EQUAL 0 OR NOT EXISTS ${logo_png})
    list(GET logo_command 0 logo_tool)
    message(STATUS "${logo_tool} cannot render the logo")
    set(logo_command)
  endif()
endif()
if(logo_command)
  add_custom_command(OUTPUT ${logo_png}
    COMMAND ${logo_command}
    DEPENDS ${logo_svg} COMMENT "Rendering the logo")
else()
  set(logo_png)
  message(STATUS "Neither rsvg-convert (librsvg2-bin) nor convert (imagemagick) "
    "can render the logo: the xboard logo quillfen.png is left out of the install")
endif()
if(logo_png)
  install(FILES ${logo_png} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/games/plugins/logos)
endif()
add_custom_target(quillfen_packaging_files ALL DEPENDS ${quillfen_compressed} ${logo_png})
install(FILES ${logo_svg} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# The plugin file and the desktop entry, with the installed paths. Each
# install writes its own copies (a folder per destination), so that an
# install into a test prefix and cpack's install for /usr can run at once.
install(CODE "
  set(games \"\${CMAKE_INSTALL_PREFIX}/${QUILLFEN_INSTALL_GAMESDIR}\")
  set(QUILLFEN_ENGINE_COMMAND \"\${games}/quillfen\")
  set(QUILLFEN_LAUNCHER \"\${games}/quillfen-xboard\")
  string(MD5 where \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(out \"${QUILLFEN_GENERATED}/install-\${where}\")
  configure_file(\"${QUILLFEN_PACKAGING_DIR}/quillfen.eng.in\" \"\${out}/quillfen.eng\" @ONLY)
  configure_file(\"${QUILLFEN_PACKAGING_DIR}/quillfen.desktop.in\" \"\${out}/quillfen.desktop\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/games/plugins/xboard\"
       TYPE FILE FILES \"\${out}/quillfen.eng\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/applications\"
       TYPE FILE FILES \"\${out}/quillfen.desktop\")
")

# The Debian package. cpack packages the build as it is (build first): it
# does not start a build of its own, which the package test, running beside
# the other tests, must not do.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillfen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pawn chess engine for xboard")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillfen plays pawn chess, chess with only the sixteen pawns: the first
side to bring a pawn to its last rank wins, and a side left without pawns
loses. It speaks the xboard protocol (CECP), so xboard can run it, and it
can be played at a terminal.
.
quillfen-xboard starts xboard with the engine and the options pawn chess
needs. quillfen-tool counts move paths (perft) and benchmarks the search.")
set(QUILLFEN_MAINTAINER
  "Quillfen maintainers <maintainers@users.noreply.c-seed-c1fad897.example>"
  CACHE STRING "The Debian package's Maintainer field")
set(CPACK_PACKAGE_CONTACT ${QUILLFEN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLFEN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xboard)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
