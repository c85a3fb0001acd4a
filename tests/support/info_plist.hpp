// Info.plist texts for bundles that tests lay out: one builder for all.
#pragma once

#include <string>
#include <string_view>

namespace kvx::test {

// An Info.plist with the given identifier and a body of further entries.
inline std::string InfoPlist(std::string_view identifier, std::string_view moreEntries = "") {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>CFBundleIdentifier</key>
	<string>)") + std::string(identifier) + "</string>\n" + std::string(moreEntries) + "</dict>\n</plist>\n";
}

// The Info.plist of a plug-in whose executable registers one factory
// function for one type, as the loader reads it.
inline std::string PlugInInfoPlist(std::string_view executable, std::string_view function, std::string_view typeID,
                                   std::string_view factoryID = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8") {
    const std::string factory(factoryID);
    return InfoPlist("com.example.plugin", "<key>CFBundleExecutable</key><string>" + std::string(executable) +
                                               "</string>\n<key>CFPlugInFactories</key><dict><key>" + factory +
                                               "</key><string>" + std::string(function) +
                                               "</string></dict>\n<key>CFPlugInTypes</key><dict><key>" +
                                               std::string(typeID) + "</key><array><string>" + factory +
                                               "</string></array></dict>\n");
}

}  // namespace kvx::test
