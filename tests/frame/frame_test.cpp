// The plug-in's frame, reached only through the loaded bundle: the factory,
// the instance's counting and queries, the PDE interface objects, and the
// ticket lookup behind the pane's sync.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "loaded_plugin.hpp"

namespace {

using kvx::CFHolder;

constexpr const char *kFactoryIDText = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8";
using Factory = void *(*)(CFAllocatorRef, CFUUIDRef);

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
    CFIndex registered() { return KVXPlugInGetInstanceCountForFactory(factoryID.get()); }
    // The instance's count, read by counting up and back down.
    ULONG instanceCount() { return (table().AddRef(instance()), table().Release(instance())); }

    HRESULT query(const char *interfaceID, PlugInIntf **answer) {
        return table().QueryInterface(instance(), BytesOf(interfaceID), reinterpret_cast<void **>(answer));
    }
    PlugInIntf *queryPDE() {
        PlugInIntf *object = nullptr;
        EXPECT_EQ(query(kPMPDEInterfaceIDStr, &object), 0);
        return object;
    }
    static OSStatus Release(PlugInIntf *object) {
        auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(object);
        return header->vtable->Release(&header);
    }
    // The factory function, found by the name that the registration gives.
    Factory factory() {
        CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.korvane.kvx.pde"));
        const CFHolder<CFStringRef> executable(KVXBundleCopyExecutablePath(bundle));
        void *library = dlopen(kvx::ToUTF8(executable.get()).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        return reinterpret_cast<Factory>(dlsym(library, "CreatePDEFactory"));
    }
};

TEST_F(Frame, FactoryMakesInstancesOfThePDETypeOnlyEachRegisteredUntilItsLastRelease) {
    const Factory create = factory();
    ASSERT_NE(create, nullptr);
    const CFIndex before = registered();
    const CFHolder<CFUUIDRef> pdeType(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
    const CFHolder<CFUUIDRef> interfaceID(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDEInterfaceIDStr)));
    for (CFUUIDRef other : {interfaceID.get(), factoryID.get(), CFUUIDRef(nullptr)})
        EXPECT_EQ(create(nullptr, other), nullptr);
    KVXHostFailNext(kKVXFaultAllocate, 1);
    EXPECT_EQ(create(nullptr, pdeType.get()), nullptr) << "no memory for the instance";
    EXPECT_EQ(registered(), before);

    auto **second = static_cast<IUnknownVTbl **>(create(nullptr, pdeType.get()));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(registered(), before + 1);
    EXPECT_EQ((*second)->AddRef(second), 2u);
    EXPECT_EQ((*second)->Release(second), 1u);
    EXPECT_EQ(registered(), before + 1);
    EXPECT_EQ((*second)->Release(second), 0u);
    EXPECT_EQ(registered(), before);
}

TEST_F(Frame, QueriesGrantIUnknownCountedAndPDEAsNewObjectsAndRefuseTheRestWithANull) {
    PlugInIntf *answer = reinterpret_cast<PlugInIntf *>(0x1);
    EXPECT_EQ(query(kPMPDETypeIDStr, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    answer = reinterpret_cast<PlugInIntf *>(0x1);
    KVXHostFailNext(kKVXFaultAllocate, 1);
    EXPECT_EQ(query(kPMPDEInterfaceIDStr, &answer), E_OUTOFMEMORY) << "no memory for the object";
    EXPECT_EQ(answer, nullptr);
    void *unknown = nullptr;
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), &unknown), 0);
    EXPECT_EQ(unknown, instance());
    EXPECT_EQ(instanceCount(), 2u);
    EXPECT_EQ(table().Release(instance()), 1u);

    PlugInIntf *first = queryPDE();
    PlugInIntf *second = queryPDE();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->vtable, second->vtable) << "every object has a table of its own";
    EXPECT_EQ(instanceCount(), 1u) << "interface objects do not count on the instance";
    const auto *slots = reinterpret_cast<void *const *>(first->vtable);
    constexpr std::size_t kSlots = sizeof(PlugInIntfVTable) / sizeof(void *);
    const std::set<void *> distinct(slots, slots + kSlots);
    EXPECT_EQ(distinct.size(), kSlots) << "each slot holds its own operation";
    EXPECT_EQ(distinct.count(nullptr), 0u);

    EXPECT_EQ(Release(first), 0);
    // The survivor still works and lives until its last reference goes; the
    // sanitizer build sees any use after a free.
    auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(second);
    const PMPlugInHeader &operations = *header->vtable;
    EXPECT_EQ(operations.Retain(header), 0);
    PMPlugInHeaderInterface *callersCopy = header;
    EXPECT_EQ(operations.Release(&callersCopy), 0);
    EXPECT_EQ(callersCopy, nullptr);
    PMPlugInAPIVersion version{9, 9, 9, 9};
    const PMPlugInAPIVersion expected{1, 0, 1, 0};
    EXPECT_EQ(operations.GetAPIVersion(header, &version), 0);
    EXPECT_EQ(std::memcmp(&version, &expected, sizeof version), 0);
    EXPECT_EQ(operations.Release(&header), 0);
    EXPECT_EQ(header, nullptr);
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
    EXPECT_EQ(Release(object), 0);

    EXPECT_EQ(table().AddRef(nullptr), 0u);
    EXPECT_EQ(table().Release(nullptr), 0u);
    void *answer = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(table().QueryInterface(nullptr, CFUUIDGetUUIDBytes(IUnknownUUID), &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    const CFIndex before = registered();
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), nullptr), E_NOINTERFACE);
    EXPECT_EQ(table().QueryInterface(instance(), BytesOf(kPMPDEInterfaceIDStr), nullptr), E_NOINTERFACE);
    EXPECT_EQ(instanceCount(), 1u) << "nothing was handed out, so nothing was counted";
    EXPECT_EQ(registered(), before);
}

TEST_F(Frame, ASessionEntryThatIsNoNumberIsNoTicket) {
    PlugInIntfVTable &pane = *plugIn.pde()->vtable;
    PMPDEContext context = nullptr;
    OSType creator = 0;
    CFStringRef kind = nullptr;
    CFHolder<CFStringRef> title;
    UInt32 maxH = 0, maxV = 0;
    ASSERT_EQ(pane.Prologue(&context, &creator, &kind, title.out(), &maxH, &maxV), noErr);
    CFHolder<PMPrintSession> session;
    ASSERT_EQ(KVXPrintSessionCreate(session.out()), noErr);
    for (CFTypeRef entry : {CFTypeRef(CFSTR("1")), CFTypeRef(kCFBooleanTrue)}) {
        ASSERT_EQ(PMSessionSetDataInSession(session.get(), CFSTR(kPDE_PMPrintSettingsRef), entry), noErr);
        EXPECT_EQ(pane.Sync(context, session.get(), true), kPMInvalidTicket);
        EXPECT_EQ(pane.Sync(context, session.get(), false), kPMInvalidTicket);
    }
    EXPECT_EQ(pane.Terminate(context, noErr), noErr);
}

}  // namespace
