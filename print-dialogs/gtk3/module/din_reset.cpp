#include "din_reset.hpp"

#include <string>

#include "core/din_policy.hpp"
#include "core/report.hpp"
#include "generic_options.hpp"

namespace kvx::gtk_module {

bool ResetDialogDIN(GtkWidget *dialog) {
    bool found = false;
    const std::string digit(print_dialogs::kDINStartingDigit);
    for (const GenericOption &option : FindGenericOptions(dialog)) {
        const std::string name = OptionName(option);
        if (!print_dialogs::IsDINSetting(name)) continue;
        found = true;
        if (!Choose(option.combo, digit)) {
            print_dialogs::ReportProblem("the print dialog offers no " + digit + " for " + name +
                                         "; it keeps its own choice");
        }
    }
    return found;
}

}  // namespace kvx::gtk_module
