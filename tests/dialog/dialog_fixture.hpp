// What the dialog's tests share: a fresh temporary folder and dialog runner
// per test, the sample PPDs and saved-settings files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dialog_process.hpp"

namespace kvx::test {

inline const std::string kSupportedPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm4750.ppd";
inline const std::string kOtherModelPPD = KVX_SOURCE_DIR "/resources/ppd/korvane-rm2200.ppd";

// An XML property list whose top level is a dictionary of these entries.
inline std::string SettingsPlist(std::string_view entries) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
)") + std::string(entries) +
           "</dict>\n</plist>\n";
}

// One <key>/<string> entry.
inline std::string StringEntry(std::string_view key, std::string_view value) {
    return "<key>" + std::string(key) + "</key><string>" + std::string(value) + "</string>\n";
}

class DialogTest : public ::testing::Test {
protected:
    DialogProcess dialog;
};

}  // namespace kvx::test
