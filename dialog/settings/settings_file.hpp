// Saved print settings: a property-list file whose top level is the
// print-settings ticket's PPD dictionary.
#pragma once

#include <string>

#include "CoreFoundation.h"

namespace kvx::dialog {

// Copies every entry of the file's dictionary into ppdDict, values as they
// are. Throws DialogError with kExitUsage, naming the file, when it cannot be
// read or parsed or its top level is not a dictionary; ppdDict is then
// unchanged.
void LoadSettingsFile(const std::string &path, CFMutableDictionaryRef ppdDict);

// Writes ppdDict as an XML property list. Throws DialogError with kExitUsage,
// naming the file, when it cannot be written.
void SaveSettingsFile(CFDictionaryRef ppdDict, const std::string &path);

}  // namespace kvx::dialog
