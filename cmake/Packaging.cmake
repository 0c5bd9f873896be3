# What `cmake --install` puts where, and the Debian package CPack makes of it
# (`cpack` in the build folder: ondrel_<version>_<arch>.deb).
#
# The programs and libtickwell.so live together in libexec/ondrel/, since a host
# looks for the timer control beside its own executable (the real path, past
# a link); bin/ holds relative links to the commands. The desktop entry, the
# "*.onp" type, the icon, the AppStream metainfo and the man pages go where
# desktops, file managers, software centres and man look for them.
include(GNUInstallDirs)
set(ONDREL_PRIVATE_DIR ${CMAKE_INSTALL_LIBEXECDIR}/ondrel)
set(ONDREL_COMMANDS ondrel ondrel-convert komreg tickwell-frame)

# What is installed binds every symbol at start, so its GOT can be read-only.
foreach(target IN LISTS ONDREL_COMMANDS ITEMS tickwell)
  target_link_options(${target} PRIVATE -Wl,-z,relro,-z,now)
endforeach()
install(TARGETS ${ONDREL_COMMANDS} tickwell
        RUNTIME DESTINATION ${ONDREL_PRIVATE_DIR}
        LIBRARY DESTINATION ${ONDREL_PRIVATE_DIR})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(RELATIVE_PATH ondrel_bin_to_private /${CMAKE_INSTALL_BINDIR} /${ONDREL_PRIVATE_DIR})
foreach(command IN LISTS ONDREL_COMMANDS)
  file(CREATE_LINK ${ondrel_bin_to_private}/${command} ${CMAKE_BINARY_DIR}/install-links/${command} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/install-links/${command} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

set(data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${data}/ondrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/ondrel-project.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${data}/org.ondrel.ondrel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${data}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Man pages and the package's changelog compressed as Debian wants them: gzip
# -9 with no name or time stamp inside, so that rebuilds are identical.
set(CPACK_PACKAGE_CONTACT "Ondrel developers <ondrel-devel@ondrel.org>"
    CACHE STRING "The package's maintainer, name <address>")
string(TIMESTAMP ONDREL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${data}/changelog.in ${CMAKE_BINARY_DIR}/package-docs/changelog @ONLY)
set(compressed ${CMAKE_BINARY_DIR}/package-docs/changelog.gz)
foreach(command IN LISTS ONDREL_COMMANDS)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${command}.1.gz
                     COMMAND gzip -9nc ${data}/man/${command}.1 > ${CMAKE_BINARY_DIR}/man/${command}.1.gz
                     DEPENDS ${data}/man/${command}.1 VERBATIM)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/man/${command}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${command}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package-docs/changelog.gz
                   COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package-docs/changelog
                           > ${CMAKE_BINARY_DIR}/package-docs/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/package-docs/changelog VERBATIM)
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${data}/copyright ${CMAKE_BINARY_DIR}/package-docs/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondrel)
install(FILES ${data}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ondrel)

# Installed straight into the system's prefix (or the user's ~/.local), the
# desktop's caches learn the new type, entry and icon at once; a package or a
# DESTDIR staging leaves that to the package manager's triggers.
install(CODE [[
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  if("$ENV{DESTDIR}" STREQUAL "" AND prefix MATCHES "^(/usr|/usr/local|$ENV{HOME}/\\.local)/?$")
    find_program(update_mime update-mime-database)
    find_program(update_desktop update-desktop-database)
    find_program(update_icons gtk-update-icon-cache)
    if(update_mime)
      execute_process(COMMAND ${update_mime} "${prefix}/share/mime")
    endif()
    if(update_desktop)
      execute_process(COMMAND ${update_desktop} -q "${prefix}/share/applications")
    endif()
    if(update_icons)
      execute_process(COMMAND ${update_icons} -q -t "${prefix}/share/icons/hicolor")
    endif()
    message(STATUS "Refreshed the MIME, desktop and icon caches under ${prefix}/share")
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ondrel)
set(CPACK_PACKAGE_VENDOR "Ondrel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data acquisition, recording and replay for measurement signals")
# The synopsis line comes from the summary; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ondrel acquires analog-input, digital-input and thermocouple signals from
measurement cards and from the oscilloscopes, data loggers, meters,
thermometers and logic analysers that libsigrok drives. It shows them on a
strip chart, records them, saves a recording as a project folder, replays it
and converts it to tab-separated text (also with ondrel-convert). Simulated
cards with deterministic signals come built in.
.
The package also holds the Tickwell keyed timer control the program loads
at run time, and its tools komreg and tickwell-frame.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
