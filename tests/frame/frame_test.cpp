// The plug-in's frame, reached only through the loaded bundle: the factory,
// the instance's counting and queries, and the PDE interface objects.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "KVXHostSupport.hpp"
#include "live_object_check.hpp"
#include "loaded_plugin.hpp"

namespace {

using kvx::CFHolder;

constexpr const char *kFactoryIDText = "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8";
using Factory = void *(*)(CFAllocatorRef, CFUUIDRef);

CFHolder<CFUUIDRef> UUID(const char *text) { return CFHolder<CFUUIDRef>(CFUUIDCreateFromString(nullptr, kvx::MakeString(text).get())); }

class Frame : public kvx::test::LiveObjectCheck {
protected:
    kvx::test::LoadedPlugIn plugIn;
    CFHolder<CFUUIDRef> factoryID = UUID(kFactoryIDText);

    void SetUp() override {
        LiveObjectCheck::SetUp();
        ASSERT_TRUE(plugIn.loaded()) << plugIn.errors();
    }

    IUnknownVTbl **instance() { return plugIn.instance(); }
    IUnknownVTbl &table() { return **plugIn.instance(); }
    CFIndex registered() { return KVXPlugInGetInstanceCountForFactory(factoryID.get()); }
    // The instance's count, read by counting up and back down.
    ULONG instanceCount() { return (table().AddRef(instance()), table().Release(instance())); }

    HRESULT query(const char *interfaceID, void **answer) {
        return table().QueryInterface(instance(), CFUUIDGetUUIDBytes(UUID(interfaceID).get()), answer);
    }
};

TEST_F(Frame, FactoryMakesInstancesOfThePDETypeOnlyEachRegisteredUntilItsLastRelease) {
    // The factory function, found by the name that the registration gives.
    const CFHolder<CFStringRef> executable(KVXBundleCopyExecutablePath(CFBundleGetBundleWithIdentifier(CFSTR("com.korvane.kvx.pde"))));
    void *library = dlopen(kvx::ToUTF8(executable.get()).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    const auto create = reinterpret_cast<Factory>(dlsym(library, "CreatePDEFactory"));
    ASSERT_NE(create, nullptr);
    const CFIndex before = registered();
    for (const char *other : {kPMPDEInterfaceIDStr, kFactoryIDText}) EXPECT_EQ(create(nullptr, UUID(other).get()), nullptr);
    const auto pdeType = UUID(kPMPDETypeIDStr);
    KVXHostFailNext(kKVXFaultAllocate, 1);
    EXPECT_EQ(create(nullptr, pdeType.get()), nullptr) << "no memory for the instance";
    EXPECT_EQ(registered(), before);

    auto **second = static_cast<IUnknownVTbl **>(create(nullptr, pdeType.get()));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(registered(), before + 1);
    EXPECT_EQ((*second)->Release(second), 0u);
    EXPECT_EQ(registered(), before);
}

TEST_F(Frame, QueriesGrantIUnknownCountedAndPDEAsNewObjectsAndRefuseTheRestWithANull) {
    void *answer = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(query(kPMPDETypeIDStr, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    answer = reinterpret_cast<void *>(0x1);
    KVXHostFailNext(kKVXFaultAllocate, 1);
    EXPECT_EQ(query(kPMPDEInterfaceIDStr, &answer), E_OUTOFMEMORY) << "no memory for the object";
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), &answer), 0);
    EXPECT_EQ(answer, instance());
    EXPECT_EQ(instanceCount(), 2u);
    EXPECT_EQ(table().Release(instance()), 1u);
    // Nowhere to put the answer: nothing is handed out, so nothing counted.
    EXPECT_EQ(table().QueryInterface(instance(), CFUUIDGetUUIDBytes(IUnknownUUID), nullptr), E_NOINTERFACE);
    EXPECT_EQ(query(kPMPDEInterfaceIDStr, nullptr), E_NOINTERFACE);
    EXPECT_EQ(instanceCount(), 1u);

    void *first = nullptr;
    void *second = nullptr;
    ASSERT_EQ(query(kPMPDEInterfaceIDStr, &first), 0);
    ASSERT_EQ(query(kPMPDEInterfaceIDStr, &second), 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(instanceCount(), 1u) << "interface objects do not count on the instance";
    auto *firstHeader = static_cast<PMPlugInHeaderInterface *>(first);
    EXPECT_EQ(firstHeader->vtable->Release(&firstHeader), 0);
    // The survivor still works and lives until its last reference goes; the
    // sanitizer build sees any use after a free.
    auto *header = static_cast<PMPlugInHeaderInterface *>(second);
    const PMPlugInHeader &operations = *header->vtable;
    EXPECT_EQ(operations.Retain(header), 0);
    PMPlugInHeaderInterface *callersCopy = header;
    EXPECT_EQ(operations.Release(&callersCopy), 0);
    EXPECT_EQ(callersCopy, nullptr);
    PMPlugInAPIVersion version{};
    EXPECT_EQ(operations.GetAPIVersion(header, &version), 0);
    EXPECT_EQ(operations.Release(&header), 0);
    EXPECT_EQ(header, nullptr);
}

}  // namespace
