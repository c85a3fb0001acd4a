// GTK's GtkPrinterOption, the dialog's own option behind each of its
// option widgets (the widget's "source"): GTK 3 and GTK 4 lay it out alike
// in gtkprinteroption.h, a header GTK keeps for its print backends and
// does not install.
#pragma once

#include <glib-object.h>

#include <string>
#include <string_view>

namespace kvx::gtk_print {

// GTK's CUPS backend (3 and 4 alike) names each PPD option "cups-" and its
// main keyword, as its option and as the print settings' key.
std::string CupsSettingKey(std::string_view ppdKey);

// The option's name, as the settings key it becomes ("cups-DINDigit1");
// empty when GTK's option is not laid out as this code knows it or its text
// is not what labelText shows ("Text:"), so that another layout reads as
// no name rather than a wrong one.
std::string PrinterOptionName(GObject *option, std::string_view labelText);

}  // namespace kvx::gtk_print
