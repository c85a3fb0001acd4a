// The contents of an interface file, read and checked in full before any
// window is made from it. The format is described in resources/README.md.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Carbon.h"

namespace kvx::host {

struct ControlDescription {
    OSType kind = 0;
    ControlID id{};
    Rect bounds{};
    bool enabled = true;
    std::u16string title;
    std::u16string text;                 // edit fields
    SInt32 value = 0;                    // popups: 1 unless given
    bool hasMenu = false;                // popups
    std::vector<std::u16string> items;   // popups with a menu
    std::vector<ControlDescription> children;  // user panes
};

struct WindowDescription {
    std::string name;
    std::u16string title;
    Rect content{};  // global coordinates
    std::vector<ControlDescription> controls;
};

struct NibDocument {
    std::vector<WindowDescription> windows;

    const WindowDescription *find(std::string_view name) const;
};

// Why a file is no usable interface file: the status and a message for people.
struct NibProblem {
    OSStatus status;
    std::string message;
};

// Reads and checks the whole file at path. A pane opens the same file twice
// each time it is shown, so the last document read is kept and given again
// while the file's path and bytes are unchanged.
std::variant<std::shared_ptr<const NibDocument>, NibProblem> ReadNibFile(const std::string &path);

}  // namespace kvx::host
