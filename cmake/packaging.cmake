# Installing and packaging, all at the project's version:
#   Linux:   the desktop entry, icons, AppStream metainfo, manual pages and copyright, and
#            the Debian package (cpack -G DEB in the build folder).
#   Windows: the installer (target installer, NSIS) and the portable zip (target portable).
include(GNUInstallDirs)

# The date of a release in the metainfo and the changelog: the build's, or
# SOURCE_DATE_EPOCH's when that is set, so a package can be rebuilt bit for bit.
string(TIMESTAMP KELVO_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP KELVO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(KELVO_MAINTAINER "kelvo developers <developers@kelvo.org>" CACHE STRING
  "Maintainer of the Debian package, as Name <address>")
set(KELVO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KELVO_PACKAGE_FILES ${PROJECT_BINARY_DIR}/packaging)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows-installer.cmake)
  return()
endif()

# Manual pages and the changelog are installed compressed: gzip -n keeps the build's time
# out of them.
find_program(KELVO_GZIP gzip REQUIRED)
function(kelvo_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${source}.gz
    COMMAND ${KELVO_GZIP} -9nf -k ${source}
    DEPENDS ${source}
    VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS ${source}.gz)
  install(FILES ${source}.gz DESTINATION ${destination})
endfunction()

configure_file(${KELVO_PACKAGING}/changelog ${KELVO_PACKAGE_FILES}/changelog @ONLY)
kelvo_install_gzipped(${KELVO_PACKAGE_FILES}/changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KELVO_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# bash completes kelvo-cli's options where bash-completion looks for a command's own file.
if(NOT WIN32)
  install(FILES ${KELVO_PACKAGING}/kelvo-cli.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
    RENAME kelvo-cli)
endif()

# kelvo-cli's page from its own --help and --version; in a UTF-8 locale, or help2man turns
# the Russian help into question marks.
find_program(KELVO_HELP2MAN help2man)
if(KELVO_HELP2MAN)
  add_custom_command(OUTPUT ${KELVO_PACKAGE_FILES}/kelvo-cli.1
    COMMAND ${KELVO_HELP2MAN} --no-info --no-discard-stderr --locale C.UTF-8
      --name "dimensional features of typical figures, for scripts"
      --include ${KELVO_PACKAGING}/kelvo-cli.h2m
      --output ${KELVO_PACKAGE_FILES}/kelvo-cli.1 $<TARGET_FILE:kelvo-cli>
    DEPENDS kelvo-cli ${KELVO_PACKAGING}/kelvo-cli.h2m
    COMMENT "Writing the manual page kelvo-cli(1)"
    VERBATIM)
  kelvo_install_gzipped(${KELVO_PACKAGE_FILES}/kelvo-cli.1 ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: the package goes without kelvo-cli(1)")
endif()

if(KELVO_BUILD_QT)
  configure_file(${KELVO_PACKAGING}/kelvo.1 ${KELVO_PACKAGE_FILES}/kelvo.1 @ONLY)
  kelvo_install_gzipped(${KELVO_PACKAGE_FILES}/kelvo.1 ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${KELVO_PACKAGING}/kelvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${KELVO_PACKAGING}/org.kelvo.kelvo.metainfo.xml
    ${KELVO_PACKAGE_FILES}/org.kelvo.kelvo.metainfo.xml @ONLY)
  install(FILES ${KELVO_PACKAGE_FILES}/org.kelvo.kelvo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/res/icons/kelvo-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kelvo.png)
  endforeach()
endif()

set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VERSION ${KELVO_VERSION_DOTTED})
set(CPACK_PACKAGE_CONTACT ${KELVO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dimensional features of typical figures for clothing design")
set(CPACK_PACKAGE_DESCRIPTION
  "For a typical figure - nursery children, girls, boys, women or men, chosen
by height, chest girth and waist or hip girth - kelvo computes every
dimensional feature from the base figures in its feature tables, shows them in
one window, lets the user correct any value and writes them to a text file.
kelvo-cli does the same for scripts and writes size charts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
