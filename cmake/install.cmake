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
