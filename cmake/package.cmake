# `cpack` in a build folder configured with -DCMAKE_INSTALL_PREFIX=/usr makes
# the Debian package kvx_VERSION_ARCH.deb from the install rules
# (scripts/package.sh does both). The package adds what only a system-wide
# install wants: the session switches that turn the GTK module on, the desktop
# entry, the documentation files Debian asks for, and the PPD where CUPS'
# driver lister (lpinfo -m) finds it.

# The session switches live in component "session", left out of a plain
# `cmake --install`, since one of them belongs in /etc whatever the prefix.
install(FILES packaging/90kvx-print DESTINATION /etc/X11/Xsession.d COMPONENT session EXCLUDE_FROM_ALL)
install(FILES packaging/90-kvx-print.conf DESTINATION lib/environment.d COMPONENT session EXCLUDE_FROM_ALL)
install(FILES packaging/kvx-dialog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Debian wants the changelog and man pages compressed, reproducibly (-n).
set(KVX_GZIPPED ${CMAKE_BINARY_DIR}/gzipped)
foreach(file packaging/changelog dialog/kvx-dialog.1)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${KVX_GZIPPED}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KVX_GZIPPED}
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/${file} > ${KVX_GZIPPED}/${name}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/${file} VERBATIM)
  list(APPEND KVX_GZIPPED_FILES ${KVX_GZIPPED}/${name}.gz)
endforeach()
add_custom_target(kvx-gzipped-docs ALL DEPENDS ${KVX_GZIPPED_FILES})
install(FILES ${KVX_GZIPPED}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KVX_GZIPPED}/kvx-dialog.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

file(WRITE ${CMAKE_BINARY_DIR}/package-control/conffiles "/etc/X11/Xsession.d/90kvx-print\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvx)
set(CPACK_PACKAGE_CONTACT "kvx developers <kvx@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "job options for the Korvane RM-4750 printer")
set(CPACK_PACKAGE_DESCRIPTION "The Korvane RM-4750's job options (print mode, the private-print number,
the department code and the ZEL orientation) as one pane in the print dialog
of every GTK 3 application, through the kvx-print GTK module, and in
kvx-dialog, a print dialog of its own. The package also installs the
printer's PPD, so that the system's printer tools offer the model.")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS cups)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package-control/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL kvx session)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
