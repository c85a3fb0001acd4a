// What a printer's PPD says about the pane's keys: each option's text as
// the dialogs label it, its default choice and every choice it offers.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "session/options/option_matching.hpp"

namespace kvx::session {

struct PaneOptions {
    std::vector<OptionText> texts;                         // in the pane keys' order
    std::map<std::string, std::string> defaults;           // key -> default choice
    std::map<std::string, std::set<std::string>> choices;  // key -> every choice
};

// The PPD's options that the pane reads and writes, with their texts
// translated as GTK's CUPS backend shows them; none for a PPD that does
// not parse.
PaneOptions ReadPaneOptions(const std::string &ppdPath);

}  // namespace kvx::session
