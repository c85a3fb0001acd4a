// A widget rendered into a PNG file, with cairo and no outside tool.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace kvx::dialog {

// The widget at its allocated size. Throws DialogError with kExitUsage,
// naming the file, when it cannot be written.
void WriteWidgetPNG(GtkWidget *widget, const std::string &path);

}  // namespace kvx::dialog
