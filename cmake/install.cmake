# `cmake --install BUILD --prefix PREFIX` lays out a working kvx, relocatable
# as a whole (LIBDIR is lib, or lib/<multiarch> for the prefix /usr):
#   PREFIX/bin/kvx-dialog                          finds the rest relative to itself
#   PREFIX/LIBDIR/kvx/libkvxhost.so, libkvxdialog.so   private to kvx
#   PREFIX/LIBDIR/kvx/libkvxwindow.so              the window, loaded for --gui
#   PREFIX/LIBDIR/kvx/PlugIns/KVXPDE.plugin/...    the plug-in bundle
#   PREFIX/share/ppd/korvane/korvane-rm4750.ppd    the printer's PPD, where CUPS looks
#   PREFIX/share/man/man1/kvx-dialog.1, PREFIX/share/applications/kvx-dialog.desktop
#   PREFIX/LIBDIR/gtk-3.0/modules/libkvx-print.so  the GTK 3 module
# The session files that turn the module on for everyone are the package's
# (debian/), since one of them belongs in /etc whatever the prefix.
include(GNUInstallDirs)
set(KVX_INSTALL_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/kvx)
set(KVX_INSTALL_PLUGINS_DIR ${KVX_INSTALL_PRIVATE_DIR}/PlugIns)
set(KVX_INSTALL_BUNDLE_DIR ${KVX_INSTALL_PLUGINS_DIR}/KVXPDE.plugin)
set(KVX_INSTALL_PPD_DIR ${CMAKE_INSTALL_DATADIR}/ppd/korvane)

# The dialog finds the private folder from bin; the libraries there find each
# other beside themselves; the plug-in, four folders up from Contents/MacOS.
set_target_properties(kvx-dialog PROPERTIES INSTALL_RPATH "$ORIGIN/../${KVX_INSTALL_PRIVATE_DIR}")
set_target_properties(kvxdialog kvxwindow PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(KVXPDE PROPERTIES INSTALL_RPATH "$ORIGIN/../../../..")
target_compile_definitions(kvxdialog PRIVATE
  KVX_INSTALLED_PLUGINS_DIR="${KVX_INSTALL_PLUGINS_DIR}"
  KVX_INSTALLED_PPD="${KVX_INSTALL_PPD_DIR}/korvane-rm4750.ppd"
  KVX_INSTALLED_WINDOW_MODULE="${KVX_INSTALL_PRIVATE_DIR}/libkvxwindow.so")

install(TARGETS kvx-dialog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kvxhost kvxdialog kvxwindow LIBRARY DESTINATION ${KVX_INSTALL_PRIVATE_DIR})
install(TARGETS KVXPDE LIBRARY DESTINATION ${KVX_INSTALL_BUNDLE_DIR}/Contents/MacOS)
install(DIRECTORY ${KVX_BUNDLE_DIR}/ DESTINATION ${KVX_INSTALL_BUNDLE_DIR}
        PATTERN MacOS EXCLUDE)
install(FILES resources/ppd/korvane-rm4750.ppd DESTINATION ${KVX_INSTALL_PPD_DIR})
install(FILES dialog/kvx-dialog.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/kvx-dialog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# kvx-print, the GTK 3 module, goes where GTK looks for modules of this
# prefix. It finds kvx's private folder relative to itself, so a moved prefix works.
set(KVX_GTK_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/gtk-3.0/modules)
file(RELATIVE_PATH kvx_module_to_private /${KVX_GTK_MODULE_INSTALL_DIR} /${KVX_INSTALL_PRIVATE_DIR})
set_target_properties(kvx-print PROPERTIES INSTALL_RPATH "$ORIGIN/${kvx_module_to_private}")
target_compile_definitions(kvx-print PRIVATE KVX_INSTALLED_PLUGINS_FROM_MODULE="${kvx_module_to_private}/PlugIns")
install(TARGETS kvx-print LIBRARY DESTINATION ${KVX_GTK_MODULE_INSTALL_DIR})
