# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it.
include(GNUInstallDirs)

set(TALVEK_APP_ID org.talvek.Talvek)
set(TALVEK_MAINTAINER "TALVEK maintainers <maintainers@talvek.org>")
set(TALVEK_COPYRIGHT "2026 The TALVEK authors")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)

# The package's copyright file states the license of LICENSE; a LICENSE of another text stops
# the configuration rather than ship a wrong statement.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_head LIMIT_COUNT 2)
string(STRIP "${license_head}" license_head)
if(NOT license_head MATCHES "^GNU GENERAL PUBLIC LICENSE;[ ]*Version 3,")
  message(FATAL_ERROR "LICENSE is not the GNU GPL version 3: ${license_head}")
endif()
set(TALVEK_LICENSE_DEP5 "GPL-3+")
configure_file(${packaging}/copyright.in ${generated}/copyright @ONLY)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
configure_file(${packaging}/${TALVEK_APP_ID}.metainfo.xml ${generated}/${TALVEK_APP_ID}.metainfo.xml
  @ONLY)

# Manual pages and the changelog go compressed, without time stamps, as Debian wants them.
set(compressed)
foreach(page talvek talvek-cli virtual-kelvo)
  configure_file(${packaging}/man/${page}.1 ${generated}/${page}.1 @ONLY)
  list(APPEND compressed ${page}.1)
endforeach()
list(APPEND compressed changelog)
set(compressed_files)
foreach(file ${compressed})
  add_custom_command(OUTPUT ${generated}/${file}.gz
    COMMAND gzip -9 -n -c ${generated}/${file} > ${generated}/${file}.gz
    DEPENDS ${generated}/${file}
    VERBATIM)
  list(APPEND compressed_files ${generated}/${file}.gz)
endforeach()
add_custom_target(talvek_package_files ALL DEPENDS ${compressed_files})

install(TARGETS talvek talvek-cli virtual-kelvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/${TALVEK_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/talvek.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${TALVEK_APP_ID}.svg)
install(FILES ${generated}/${TALVEK_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/talvek.1.gz ${generated}/talvek-cli.1.gz ${generated}/virtual-kelvo.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The recording station template of systemd's user manager, one instance per port.
install(FILES ${packaging}/talvek-record@.service DESTINATION lib/systemd/user)
install(FILES ${generated}/copyright ${generated}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "client for the KELVO frequency counter")
set(CPACK_PACKAGE_DESCRIPTION [=[
TALVEK connects to a KELVO frequency counter on a serial port and logs, shows
and plots its readings live; the counter's commands are sent from a menu and
the log is saved as .dat or .csv. talvek-cli records the counter without a
window and computes the Allan deviation of recorded readings; virtual-kelvo
stands in for the counter on a pseudo-terminal.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TALVEK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps (libqt6gui6 also brings the offscreen
# platform that talvek-cli stability --plot draws on); named here are the icon's theme folder and
# the face the plots' "Arial" is drawn in, in the window and in talvek-cli's pictures alike.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme, fonts-liberation")
include(CPack)
