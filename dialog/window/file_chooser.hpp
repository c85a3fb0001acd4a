// The window's one way to ask the person for a file: GTK's file chooser,
// run modally over the window.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::dialog {

struct FileQuestion {
    std::string_view title;
    GtkFileChooserAction action = GTK_FILE_CHOOSER_ACTION_OPEN;
    std::string_view acceptLabel;
    std::string_view suggestedName;              // for a file to save; empty: none
    std::string_view filterName;                 // empty: every file
    std::vector<std::string_view> filterGlobs;
};

// The chosen file's path, or none when the person cancelled. A file to save
// over asks for confirmation first.
std::optional<std::string> AskForFile(GtkWindow *parent, const FileQuestion &question);

}  // namespace kvx::dialog
