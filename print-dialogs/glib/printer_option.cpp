#include "print-dialogs/glib/printer_option.hpp"

namespace kvx::gtk_print {
namespace {

constexpr std::string_view kCupsSettingPrefix = "cups-";
constexpr const char *kOptionTypeName = "GtkPrinterOption";
constexpr std::string_view kLabelSuffix = ":";

// GtkPrinterOption as GTK lays it out (unchanged from GTK 2.10 to GTK 4).
// Read only when GTK's instance has this size.
struct PrinterOptionLayout {
    GObject parentInstance;
    char *name;
    char *displayText;
    int type;
    char *value;
    int numChoices;
    char **choices;
    char **choicesDisplay;
    gboolean activatesDefault;
    gboolean hasConflict;
    char *group;
};

}  // namespace

std::string CupsSettingKey(std::string_view ppdKey) {
    return std::string(kCupsSettingPrefix) + std::string(ppdKey);
}

std::string PrinterOptionName(GObject *option, std::string_view labelText) {
    GTypeQuery layout{};
    g_type_query(G_OBJECT_TYPE(option), &layout);
    if (layout.instance_size != sizeof(PrinterOptionLayout) || g_strcmp0(layout.type_name, kOptionTypeName) != 0) {
        return {};
    }
    const auto *fields = reinterpret_cast<const PrinterOptionLayout *>(option);
    if (fields->name == nullptr || fields->displayText == nullptr ||
        labelText != std::string(fields->displayText) + std::string(kLabelSuffix)) {
        return {};
    }
    return fields->name;
}

}  // namespace kvx::gtk_print
