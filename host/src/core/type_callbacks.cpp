// The collection callbacks for values that are host objects: retained on
// insertion, released on removal, compared and hashed by their contents.
#include "CoreFoundation.h"

namespace {

const void *RetainObject(CFAllocatorRef, const void *value) { return CFRetain(value); }
void ReleaseObject(CFAllocatorRef, const void *value) { CFRelease(value); }

}  // namespace

extern "C" {

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainObject, ReleaseObject, CFCopyDescription, CFEqual};
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0,         RetainObject, ReleaseObject,
                                                                CFCopyDescription, CFEqual, CFHash};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, RetainObject, ReleaseObject, CFCopyDescription,
                                                                    CFEqual};

}  // extern "C"
