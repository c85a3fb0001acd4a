# `cmake --install BUILD --prefix PREFIX` lays out a working kvx-dialog:
#   PREFIX/bin/kvx-dialog                      finds the rest relative to itself
#   PREFIX/lib/libkvxhost.so, libkvxdialog.so
#   PREFIX/lib/kvx/libkvxwindow.so             the window, loaded for --gui
#   PREFIX/lib/kvx/PlugIns/KVXPDE.plugin/...   the plug-in bundle
#   PREFIX/share/kvx/ppd/*.ppd                 the sample PPDs
#   PREFIX/share/man/man1/kvx-dialog.1
set(KVX_INSTALL_BUNDLE_DIR lib/kvx/PlugIns/KVXPDE.plugin)

# The dialog finds its libraries in ../lib, the window module them in its
# parent folder; the plug-in, five folders down from the prefix
# (lib/kvx/PlugIns/KVXPDE.plugin/Contents/MacOS), in the same lib.
set_target_properties(kvx-dialog kvxdialog PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
set_target_properties(kvxwindow PROPERTIES INSTALL_RPATH "$ORIGIN/..")
set_target_properties(KVXPDE PROPERTIES INSTALL_RPATH "$ORIGIN/../../../../..")

install(TARGETS kvx-dialog RUNTIME DESTINATION bin)
install(TARGETS kvxhost kvxdialog LIBRARY DESTINATION lib)
install(TARGETS kvxwindow LIBRARY DESTINATION lib/kvx)
install(TARGETS KVXPDE LIBRARY DESTINATION ${KVX_INSTALL_BUNDLE_DIR}/Contents/MacOS)
install(DIRECTORY ${KVX_BUNDLE_DIR}/ DESTINATION ${KVX_INSTALL_BUNDLE_DIR}
        PATTERN MacOS EXCLUDE)
install(FILES resources/ppd/korvane-rm4750.ppd resources/ppd/korvane-rm2200.ppd DESTINATION share/kvx/ppd)
install(FILES dialog/kvx-dialog.1 DESTINATION share/man/man1)

# kvx-print, the GTK 3 module, goes where GTK looks for modules of this
# prefix (LIBDIR/gtk-3.0/modules; multiarch for /usr on Debian). It finds the
# host library and the bundle relative to itself, so a moved prefix works.
include(GNUInstallDirs)
set(KVX_GTK_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/gtk-3.0/modules)
file(RELATIVE_PATH kvx_module_to_lib /${KVX_GTK_MODULE_INSTALL_DIR} /lib)
file(RELATIVE_PATH kvx_module_to_plugins /${KVX_GTK_MODULE_INSTALL_DIR} /lib/kvx/PlugIns)
set_target_properties(kvx-print PROPERTIES INSTALL_RPATH "$ORIGIN/${kvx_module_to_lib}")
target_compile_definitions(kvx-print PRIVATE KVX_INSTALLED_PLUGINS_FROM_MODULE="${kvx_module_to_plugins}")
install(TARGETS kvx-print LIBRARY DESTINATION ${KVX_GTK_MODULE_INSTALL_DIR})
