// Where kvx-dialog finds its plug-ins folder and sample PPD when not told.
#pragma once

#include <string>

namespace kvx::dialog {

struct DefaultLocations {
    std::string ppdPath;
    std::string plugInsFolder;
};

DefaultLocations GetDefaultLocations();

}  // namespace kvx::dialog
