#include "driven_pane.hpp"

#include "dialog/cli/dialog_error.hpp"
#include "dialog/cli/options.hpp"

namespace kvx::fuzz {

DrivenPane::DrivenPane(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--script", "-"});
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(argument.data());
    try {
        driver_.emplace(kvx::dialog::ParseOptions(argv), reports_);
    } catch (const kvx::dialog::DialogError &) {
        driver_.reset();
    }
}

bool DrivenPane::run(std::string_view line) {
    if (!driver_) return false;
    try {
        driver_->RunLine(++lineNumber_, line);
        return true;
    } catch (const kvx::dialog::DialogError &) {
        return false;
    }
}

nlohmann::json DrivenPane::report(std::string_view action) {
    reports_.str({});
    if (!run(action)) return nullptr;
    return nlohmann::json::parse(reports_.str());
}

}  // namespace kvx::fuzz
