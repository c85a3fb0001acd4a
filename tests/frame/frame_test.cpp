// The plug-in's frame, reached only through the loaded bundle: the factory,
// the instance's counting and queries, and the PDE interface objects.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "loaded_plugin.hpp"

namespace {

using kvx::CFHolder;

constexpr const char *kFactoryIDText = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8";
constexpr HRESULT kNoInterface = static_cast<HRESULT>(0x80000004);

using Factory = void *(*)(CFAllocatorRef, CFUUIDRef);

// How the plug-in lays out an interface object: the count follows the table.
struct InterfaceObjectLayout {
    PlugInIntfVTable *vtable;
    UInt32 refCount;
};

UInt32 CountOf(const PlugInIntf *object) { return reinterpret_cast<const InterfaceObjectLayout *>(object)->refCount; }

REFIID BytesOf(const char *uuidText) {
    const CFHolder<CFUUIDRef> uuid(CFUUIDCreateFromString(nullptr, kvx::MakeString(uuidText).get()));
    return CFUUIDGetUUIDBytes(uuid.get());
}

class Frame : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::LoadedPlugIn plugIn;
    CFHolder<CFUUIDRef> factoryID{CFUUIDCreateFromString(nullptr, kvx::MakeString(kFactoryIDText).get())};

    void SetUp() override {
        LiveObjectCheck::SetUp();
        ASSERT_TRUE(plugIn.loaded()) << plugIn.errors();
    }

    IUnknownVTbl **instance() { return plugIn.instance(); }
    IUnknownVTbl &table() { return **plugIn.instance(); }

    PlugInIntf *queryPDE() {
        void *object = nullptr;
        EXPECT_EQ(table().QueryInterface(instance(), BytesOf(kPMPDEInterfaceIDStr), &object), 0);
        return static_cast<PlugInIntf *>(object);
    }

    // The exported factory, looked up the way the loader does.
    Factory factory() {
        CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.korvane.kvx.pde"));
        EXPECT_NE(bundle, nullptr);
        const CFHolder<CFStringRef> executable(KVXBundleCopyExecutablePath(bundle));
        void *library = dlopen(kvx::ToUTF8(executable.get()).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        EXPECT_NE(library, nullptr) << "the loader keeps the library loaded";
        return reinterpret_cast<Factory>(dlsym(library, "CreatePDEFactory"));
    }

    static void Release(PlugInIntf *object) {
        auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(object);
        header->vtable->Release(&header);
    }
};

TEST_F(Frame, FactoryRefusesAnyOtherTypeAndRegistersNothingUntilTheLastReleaseOfItsInstances) {
    const Factory create = factory();
    ASSERT_NE(create, nullptr);
    const CFIndex registered = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    const CFHolder<CFUUIDRef> interfaceID(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDEInterfaceIDStr)));
    EXPECT_EQ(create(nullptr, interfaceID.get()), nullptr);
    EXPECT_EQ(create(nullptr, factoryID.get()), nullptr);
    EXPECT_EQ(create(nullptr, nullptr), nullptr);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered);

    const CFHolder<CFUUIDRef> pdeType(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
    auto **second = static_cast<IUnknownVTbl **>(create(nullptr, pdeType.get()));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, instance());
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered + 1);
    EXPECT_EQ((*second)->_reserved, nullptr);

    EXPECT_EQ((*second)->AddRef(second), 2u);
    EXPECT_EQ((*second)->Release(second), 1u);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered + 1);
    EXPECT_EQ((*second)->Release(second), 0u);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered);
}

TEST_F(Frame, UnknownQueryReturnsTheSameInstanceCountedAndOtherInterfacesAreRefused) {
    void *answer = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(table().QueryInterface(instance(), BytesOf(kPMPDETypeIDStr), &answer), kNoInterface);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), &answer), 0);
    EXPECT_EQ(answer, instance());
    // Only the granted query counted: AddRef now gives 3, two releases
    // bring it back to the loader's one.
    EXPECT_EQ(table().AddRef(instance()), 3u);
    EXPECT_EQ(table().Release(instance()), 2u);
    EXPECT_EQ(table().Release(instance()), 1u);
}

TEST_F(Frame, EachPDEQueryMakesAnIndependentObject) {
    PlugInIntf *first = queryPDE();
    PlugInIntf *second = queryPDE();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->vtable, second->vtable) << "every object has a table of its own";
    EXPECT_EQ(CountOf(first), 1u);
    EXPECT_EQ(CountOf(second), 1u);
    // The instance's count did not move.
    EXPECT_EQ(table().AddRef(instance()), 2u);
    EXPECT_EQ(table().Release(instance()), 1u);

    Release(first);
    EXPECT_EQ(CountOf(second), 1u);
    // The survivor still works: its version is 1.0 whatever object is given.
    for (PMPlugInHeaderInterface *given : {reinterpret_cast<PMPlugInHeaderInterface *>(second),
                                           static_cast<PMPlugInHeaderInterface *>(nullptr)}) {
        PMPlugInAPIVersion version{9, 9, 9, 9};
        EXPECT_EQ(second->vtable->plugInHeader.GetAPIVersion(given, &version), 0);
        EXPECT_EQ(version.buildVersionMajor, 1u);
        EXPECT_EQ(version.buildVersionMinor, 0u);
        EXPECT_EQ(version.baseVersionMajor, 1u);
        EXPECT_EQ(version.baseVersionMinor, 0u);
    }
    Release(second);
}

TEST_F(Frame, PDETableHasEveryOperationFilled) {
    PlugInIntf *object = queryPDE();
    ASSERT_NE(object, nullptr);
    const auto *slots = reinterpret_cast<void *const *>(object->vtable);
    constexpr std::size_t kSlots = sizeof(PlugInIntfVTable) / sizeof(void *);
    static_assert(kSlots == 10);
    std::set<void *> distinct;
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        EXPECT_NE(slots[slot], nullptr) << "slot " << slot + 1;
        distinct.insert(slots[slot]);
    }
    EXPECT_EQ(distinct.size(), kSlots) << "each slot holds its own operation";
    Release(object);
}

TEST_F(Frame, ReleaseClearsTheCallersPointerAndFreesAtZero) {
    PlugInIntf *object = queryPDE();
    ASSERT_NE(object, nullptr);
    auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(object);
    const PMPlugInHeader &operations = *header->vtable;

    EXPECT_EQ(operations.Retain(header), 0);
    EXPECT_EQ(CountOf(object), 2u);
    PMPlugInHeaderInterface *callersCopy = header;
    EXPECT_EQ(operations.Release(&callersCopy), 0);
    EXPECT_EQ(callersCopy, nullptr);
    EXPECT_EQ(CountOf(object), 1u) << "still alive for the other reference";

    // The last release frees it; the sanitizer build sees any use after.
    PMPlugInHeaderInterface *last = header;
    EXPECT_EQ(operations.Release(&last), 0);
    EXPECT_EQ(last, nullptr);
}

TEST_F(Frame, EveryOperationAcceptsNull) {
    PlugInIntf *object = queryPDE();
    ASSERT_NE(object, nullptr);
    const PMPlugInHeader &operations = object->vtable->plugInHeader;
    EXPECT_EQ(operations.Retain(nullptr), 0);
    PMPlugInHeaderInterface *none = nullptr;
    EXPECT_EQ(operations.Release(&none), 0);
    EXPECT_EQ(operations.Release(nullptr), 0);
    EXPECT_EQ(operations.GetAPIVersion(nullptr, nullptr), 0);
    EXPECT_EQ(CountOf(object), 1u);
    Release(object);

    EXPECT_EQ(table().AddRef(nullptr), 0u);
    EXPECT_EQ(table().Release(nullptr), 0u);
    void *answer = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(table().QueryInterface(nullptr, CFUUIDGetUUIDBytes(IUnknownUUID), &answer), kNoInterface);
    EXPECT_EQ(answer, nullptr);
    const CFIndex registered = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), nullptr), kNoInterface);
    EXPECT_EQ(table().QueryInterface(instance(), BytesOf(kPMPDEInterfaceIDStr), nullptr), kNoInterface);
    EXPECT_EQ(table().AddRef(instance()), 2u) << "nothing was handed out, so nothing was counted";
    EXPECT_EQ(table().Release(instance()), 1u);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered);
}

TEST_F(Frame, ReleaseAtZeroChangesNothing) {
    // A record whose count is already 0, laid out as the plug-in lays out
    // its instance; releasing it must neither unregister nor free it.
    struct InstanceLayout {
        IUnknownVTbl *vtable;
        IUnknownVTbl vtableStorage;
        CFUUIDRef factoryID;
        ULONG refCount;
    } spent{};
    spent.vtable = &spent.vtableStorage;
    spent.factoryID = factoryID.get();
    spent.refCount = 0;
    const CFIndex registered = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    const CFIndex retains = CFGetRetainCount(factoryID.get());
    EXPECT_EQ(table().Release(&spent), 0u);
    EXPECT_EQ(spent.refCount, 0u);
    EXPECT_EQ(spent.factoryID, factoryID.get());
    EXPECT_EQ(CFGetRetainCount(factoryID.get()), retains);
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered);
}

TEST_F(Frame, LoadingQueryingAndReleasingLeavesNothingBehind) {
    const CFIndex registered = KVXPlugInGetInstanceCountForFactory(factoryID.get());
    {
        kvx::test::LoadedPlugIn another;
        ASSERT_NE(another.pde(), nullptr) << another.errors();
        EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered + 1);
    }
    EXPECT_EQ(KVXPlugInGetInstanceCountForFactory(factoryID.get()), registered);
}

TEST(FrameLibrary, ExportsTheFactoryAlone) {
    std::unique_ptr<FILE, int (*)(FILE *)> nm(popen("nm -D --defined-only " KVX_BUNDLE_DIR
                                                    "/Contents/MacOS/libKVXPDE.so 2>/dev/null",
                                                    "r"),
                                              pclose);
    ASSERT_NE(nm, nullptr);
    std::string symbols;
    char line[512];
    while (std::fgets(line, sizeof line, nm.get()) != nullptr) {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2) symbols += std::string(name) + "\n";
    }
    if (pclose(nm.release()) != 0 && symbols.empty()) GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(symbols, "CreatePDEFactory\n");
}

}  // namespace
