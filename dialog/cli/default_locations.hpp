// Where kvx-dialog finds its plug-ins folder and sample PPD when not told,
// and the window module it loads for --gui.
#pragma once

#include <string>

namespace kvx::dialog {

struct DefaultLocations {
    std::string ppdPath;
    std::string plugInsFolder;
    std::string windowModule;
};

DefaultLocations GetDefaultLocations();

}  // namespace kvx::dialog
