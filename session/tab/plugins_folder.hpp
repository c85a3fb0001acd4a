// Where a toolkit's pane part finds the plug-in bundle: relative to the
// library it is linked into, as installed, else the build tree's.
#pragma once

#include <string>
#include <string_view>

namespace kvx::session {

// The folder installedFromLibrary names relative to the library holding
// this code, when it exists; else buildFolder.
std::string FindPlugInsFolder(std::string_view installedFromLibrary, std::string_view buildFolder);

}  // namespace kvx::session
