// A plug-in factory that never makes an instance, whatever it is asked for.
extern "C" __attribute__((visibility("default"))) void *NullFactory(void *allocator, void *typeID) {
    (void)allocator;
    (void)typeID;
    return nullptr;
}
