// How collections describe their values: through the collection's
// description callback when it has one, else by address.
#pragma once

#include <string>

#include "CoreFoundation.h"

namespace kvx::host {

using CopyDescriptionCallBack = CFStringRef (*)(const void *value);

std::u16string DescribeValue(const void *value, CopyDescriptionCallBack copyDescription);

}  // namespace kvx::host
