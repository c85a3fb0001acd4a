#include "session/options/pane_options.hpp"

#include <cups/ppd.h>

#include "session/options/din_policy.hpp"

// A PPD's options are what the pane is bound to; libcups' PPD reader is
// deprecated in favour of IPP queries that do not carry them.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::session {

PaneOptions ReadPaneOptions(const std::string &ppdPath) {
    PaneOptions options;
    ppd_file_t *ppd = ppdOpenFile(ppdPath.c_str());
    if (ppd == nullptr) return options;
    ppdLocalize(ppd);
    for (const std::string_view keyView : DinPolicy::AllKeys()) {
        const std::string key(keyView);
        const ppd_option_t *option = ppdFindOption(ppd, key.c_str());
        if (option == nullptr) continue;
        // libcups hands option texts out in UTF-8, whatever the file's encoding.
        options.texts.push_back({key, option->text});
        options.defaults[key] = option->defchoice;
        for (int index = 0; index < option->num_choices; ++index) options.choices[key].insert(option->choices[index].choice);
    }
    ppdClose(ppd);
    return options;
}

}  // namespace kvx::session
