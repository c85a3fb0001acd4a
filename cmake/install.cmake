# `cmake --install BUILD --prefix PREFIX` lays out a working kvx, relocatable
# as a whole (LIBDIR is lib, or lib/<multiarch> for the prefix /usr):
#   PREFIX/bin/kvx-dialog                          finds the rest relative to itself
#   PREFIX/LIBDIR/kvx/libkvxhost.so, libkvxsession.so, libkvxdialog.so   private to kvx
#   PREFIX/LIBDIR/kvx/libkvxwindow.so              the window, loaded for --gui
#   PREFIX/LIBDIR/kvx/libkvx-print-gtk3.so         the GTK module's pane part
#   PREFIX/LIBDIR/gtk-3.0/modules/libkvx-print.so  the GTK module, found by GTK
#   PREFIX/LIBDIR/kvx/libkvx-print-gtk4-pane.so    the GTK 4 loader's pane part
#   PREFIX/LIBDIR/gtk-4.0/4.0.0/printbackends/libkvx-print-gtk4.so
#                                                  the GTK 4 loader, found by GLib's scan
#   PREFIX/LIBDIR/kvx/libkvx-print-qt5.so, -qt6.so   the Qt plug-ins' pane parts
#   PREFIX/LIBDIR/qt5/plugins/printsupport/libcupskvxprintsupport.so, and qt6/...
#                                                  the Qt print-support plug-ins, found by Qt
#   PREFIX/LIBDIR/kvx/PlugIns/KVXPDE.plugin/...    the plug-in bundle
#   PREFIX/share/ppd/korvane/korvane-rm4750.ppd    the printer's PPD, where CUPS looks
#   PREFIX/share/man/man1/kvx-dialog.1, PREFIX/share/applications/kvx-dialog.desktop
#   PREFIX/sbin/kvx-pin-policy, PREFIX/share/man/man8/kvx-pin-policy.8
#                                                  the administrator's command, libcups only
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
set_target_properties(kvxsession kvxdialog kvxwindow PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(KVXPDE PROPERTIES INSTALL_RPATH "$ORIGIN/../../../..")
target_compile_definitions(kvxdialog PRIVATE
  KVX_INSTALLED_PLUGINS_DIR="${KVX_INSTALL_PLUGINS_DIR}"
  KVX_INSTALLED_PPD="${KVX_INSTALL_PPD_DIR}/korvane-rm4750.ppd"
  KVX_INSTALLED_WINDOW_MODULE="${KVX_INSTALL_PRIVATE_DIR}/libkvxwindow.so")

install(TARGETS kvx-dialog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kvxhost kvxsession kvxdialog kvxwindow LIBRARY DESTINATION ${KVX_INSTALL_PRIVATE_DIR})
install(TARGETS KVXPDE LIBRARY DESTINATION ${KVX_INSTALL_BUNDLE_DIR}/Contents/MacOS)
install(DIRECTORY ${KVX_BUNDLE_DIR}/ DESTINATION ${KVX_INSTALL_BUNDLE_DIR}
        PATTERN MacOS EXCLUDE)
install(FILES resources/ppd/korvane-rm4750.ppd DESTINATION ${KVX_INSTALL_PPD_DIR})
install(FILES dialog/kvx-dialog.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/kvx-dialog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(TARGETS kvx-pin-policy RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR})
install(FILES admin/kvx-pin-policy.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)

# kvx-print, the GTK 3 module, goes where GTK looks for modules of this
# prefix; it finds its pane part in kvx's private folder relative to itself,
# and the pane part the bundle beside itself, so a moved prefix works.
set(KVX_GTK_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/gtk-3.0/modules)
file(RELATIVE_PATH kvx_module_to_private /${KVX_GTK_MODULE_INSTALL_DIR} /${KVX_INSTALL_PRIVATE_DIR})
target_compile_definitions(kvx-print PRIVATE
  KVX_INSTALLED_PANE_PART_FROM_LOADER="${kvx_module_to_private}/libkvx-print-gtk3.so")
set_target_properties(kvx-print-gtk3 PROPERTIES INSTALL_RPATH "$ORIGIN")
target_compile_definitions(kvx-print-gtk3 PRIVATE KVX_INSTALLED_PLUGINS_FROM_PANE_PART="PlugIns")
install(TARGETS kvx-print LIBRARY DESTINATION ${KVX_GTK_MODULE_INSTALL_DIR})
install(TARGETS kvx-print-gtk3 LIBRARY DESTINATION ${KVX_INSTALL_PRIVATE_DIR})

# kvx-print for GTK 4 goes in GTK 4's versioned printbackends folder, never
# an unversioned one (GTK 3 scans that too); it finds its pane part in the
# private folder as the GTK 3 module does.
set(KVX_GTK4_LOADER_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/gtk-4.0/4.0.0/printbackends)
file(RELATIVE_PATH kvx_gtk4_loader_to_private /${KVX_GTK4_LOADER_INSTALL_DIR} /${KVX_INSTALL_PRIVATE_DIR})
target_compile_definitions(kvx-print-gtk4 PRIVATE
  KVX_INSTALLED_PANE_PART_FROM_LOADER="${kvx_gtk4_loader_to_private}/libkvx-print-gtk4-pane.so")
set_target_properties(kvx-print-gtk4-pane PROPERTIES INSTALL_RPATH "$ORIGIN")
target_compile_definitions(kvx-print-gtk4-pane PRIVATE KVX_INSTALLED_PLUGINS_FROM_PANE_PART="PlugIns")
install(TARGETS kvx-print-gtk4 LIBRARY DESTINATION ${KVX_GTK4_LOADER_INSTALL_DIR})
install(TARGETS kvx-print-gtk4-pane LIBRARY DESTINATION ${KVX_INSTALL_PRIVATE_DIR})

# kvx-print for Qt goes in each Qt's printsupport folder (Debian's layout:
# LIBDIR/qtN/plugins); it finds its pane part in the private folder as the
# GTK loaders do.
foreach(version 5 6)
  if(NOT TARGET kvx-print-qt${version})
    continue()
  endif()
  set(kvx_qt_plugin_dir ${CMAKE_INSTALL_LIBDIR}/qt${version}/plugins/printsupport)
  file(RELATIVE_PATH kvx_qt_plugin_to_private /${kvx_qt_plugin_dir} /${KVX_INSTALL_PRIVATE_DIR})
  target_compile_definitions(kvx-print-qt${version}-plugin PRIVATE
    KVX_INSTALLED_PANE_PART_FROM_PLUGIN="${kvx_qt_plugin_to_private}/libkvx-print-qt${version}.so")
  set_target_properties(kvx-print-qt${version} PROPERTIES INSTALL_RPATH "$ORIGIN")
  target_compile_definitions(kvx-print-qt${version} PRIVATE KVX_INSTALLED_PLUGINS_FROM_PANE_PART="PlugIns")
  install(TARGETS kvx-print-qt${version}-plugin LIBRARY DESTINATION ${kvx_qt_plugin_dir})
  install(TARGETS kvx-print-qt${version} LIBRARY DESTINATION ${KVX_INSTALL_PRIVATE_DIR})
endforeach()

# Run from its build tree, a program falls back to the tree's bundle, sample
# PPD, window module and pane parts. A build made only to be installed (the
# Debian packages: KVX_BUILD_TREE_PATHS=OFF) has the installed locations
# there instead, so that no path of the build reaches its binaries and two
# builds of one source in different folders give the same bytes.
option(KVX_BUILD_TREE_PATHS "Fall back to the build tree's bundle, PPD, window module and pane parts" ON)
if(NOT KVX_BUILD_TREE_PATHS)
  set(kvx_installed ${CMAKE_INSTALL_FULL_LIBDIR}/kvx)
  function(kvx_fall_back_to_installed target)  # DEFINITION...: in place of the build tree's
    get_target_property(definitions ${target} COMPILE_DEFINITIONS)
    list(FILTER definitions EXCLUDE REGEX "^KVX_(BUILD|DEFAULT)_")
    set_target_properties(${target} PROPERTIES COMPILE_DEFINITIONS "${definitions};${ARGN}")
  endfunction()
  kvx_fall_back_to_installed(kvxdialog
    KVX_DEFAULT_PLUGINS_DIR="${kvx_installed}/PlugIns"
    KVX_DEFAULT_PPD="${CMAKE_INSTALL_FULL_DATADIR}/ppd/korvane/korvane-rm4750.ppd"
    KVX_BUILD_WINDOW_MODULE="${kvx_installed}/libkvxwindow.so")
  kvx_fall_back_to_installed(kvx-print KVX_BUILD_PANE_PART="${kvx_installed}/libkvx-print-gtk3.so")
  kvx_fall_back_to_installed(kvx-print-gtk4 KVX_BUILD_PANE_PART="${kvx_installed}/libkvx-print-gtk4-pane.so")
  set(pane_parts kvx-print-gtk3 kvx-print-gtk4-pane)
  foreach(version 5 6)
    if(TARGET kvx-print-qt${version})
      kvx_fall_back_to_installed(kvx-print-qt${version}-plugin
        KVX_BUILD_PANE_PART="${kvx_installed}/libkvx-print-qt${version}.so")
      list(APPEND pane_parts kvx-print-qt${version})
    endif()
  endforeach()
  foreach(pane_part ${pane_parts})
    kvx_fall_back_to_installed(${pane_part} KVX_BUILD_PLUGINS_DIR="${kvx_installed}/PlugIns")
  endforeach()
endif()
