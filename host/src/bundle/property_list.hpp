// Property lists in memory: converting libplist's trees to host objects and
// back, shared by the bundle reader and the property-list file operations.
#pragma once

#include <string>
#include <string_view>

#include "CoreFoundation.h"

namespace kvx::host {

// A new property list (+1) from XML or binary bytes; null and *error (why)
// when the bytes are not a property list or hold a value the host lacks.
CFPropertyListRef CreatePropertyListFromBytes(std::string_view bytes, std::string &error);
// The XML form of a property list; false and *error when a value cannot be
// written (a non-string dictionary key, an object that is no plist type).
bool PropertyListToXML(CFPropertyListRef plist, std::string &xml, std::string &error);
// Takes a property list and everything in it out of the live count for good,
// for data that lives as long as the process (a bundle's Info.plist).
void MakePropertyListConstant(CFPropertyListRef plist);

}  // namespace kvx::host
