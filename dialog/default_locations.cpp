#include "default_locations.hpp"

namespace kvx::dialog {

// The build tree's bundle folder and the source tree's sample PPD, as the
// build configured them.
DefaultLocations GetDefaultLocations() {
    return DefaultLocations{KVX_DEFAULT_PPD, KVX_DEFAULT_PLUGINS_DIR};
}

}  // namespace kvx::dialog
