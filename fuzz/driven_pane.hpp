// A pane for one fuzz input, shown and driven by the dialog's pane driver
// exactly as `kvx-dialog --script -` with the given arguments does: the
// fuzz targets act through script lines and read the JSON reports.
#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "dialog/script/pane_driver.hpp"

namespace kvx::fuzz {

class DrivenPane {
public:
    // Nothing is driven when the driver refuses the arguments (a printer or
    // settings file it cannot use): then driven() is false.
    explicit DrivenPane(std::vector<std::string> arguments);

    bool driven() const { return driver_.has_value(); }
    bool shown() { return driven() && driver_->Pane().IsShown(); }
    // One script line; false when the driver refused it.
    bool run(std::string_view line);
    // The report of `show`, `summary` or `ticket`; null when refused.
    nlohmann::json report(std::string_view action);

private:
    std::ostringstream reports_;
    std::optional<kvx::dialog::PaneDriver> driver_;
    int lineNumber_ = 0;
};

}  // namespace kvx::fuzz
