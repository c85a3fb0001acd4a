// LoadedPlugIn: the built plug-in, loaded as the print dialog loads it.
//
//   kvx::test::LoadedPlugIn plugIn;                 // loads KVX_PLUGINS_DIR
//   kvx::test::LoadedPlugIn copy(tempFolder);       // or another plug-ins folder
//   ASSERT_TRUE(plugIn.loaded()) << plugIn.errors();
//   IUnknownVTbl **instance = plugIn.instance();    // the factory instance
//   PlugInIntf *pde = plugIn.pde();                 // the PDE interface
//   pde->vtable->Prologue(...);
//
// The folder's bundles go through KVXLoadPlugInsForType with the PDE type.
// instance() is the first instance made; pde() queries it for the PDE
// interface once and keeps the answer. The destructor releases the PDE
// interface through its own Release, then every instance through its
// IUnknown Release, so that a test can check that nothing is left.
#pragma once

#include <string>
#include <vector>

#include "KVXHostSupport.hpp"

namespace kvx::test {

class LoadedPlugIn {
public:
    explicit LoadedPlugIn(const std::string &plugInsFolder = KVX_PLUGINS_DIR) {
        const CFHolder<CFUUIDRef> pdeType(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDETypeIDStr)));
        KVXLoadPlugInsForType(plugInsFolder.c_str(), pdeType.get(), Collect, this);
    }
    LoadedPlugIn(const LoadedPlugIn &) = delete;
    LoadedPlugIn &operator=(const LoadedPlugIn &) = delete;

    ~LoadedPlugIn() {
        if (pde_ != nullptr) {
            auto *header = reinterpret_cast<PMPlugInHeaderInterface *>(pde_);
            header->vtable->Release(&header);
        }
        for (IUnknownVTbl **instance : instances_) (*instance)->Release(instance);
    }

    bool loaded() const { return !instances_.empty(); }
    // Every load error, one per line, each after its bundle's path.
    const std::string &errors() const { return errors_; }
    IUnknownVTbl **instance() const { return instances_.empty() ? nullptr : instances_.front(); }

    // The PDE interface of the first instance, or null when there is none.
    PlugInIntf *pde() {
        if (pde_ == nullptr && loaded()) {
            const CFHolder<CFUUIDRef> interfaceID(CFUUIDCreateFromString(nullptr, CFSTR(kPMPDEInterfaceIDStr)));
            void *found = nullptr;
            (*instance())->QueryInterface(instance(), CFUUIDGetUUIDBytes(interfaceID.get()), &found);
            pde_ = static_cast<PlugInIntf *>(found);
        }
        return pde_;
    }

private:
    static void Collect(const char *bundlePath, void *instance, CFStringRef error, void *info) {
        auto &self = *static_cast<LoadedPlugIn *>(info);
        if (instance != nullptr)
            self.instances_.push_back(static_cast<IUnknownVTbl **>(instance));
        else
            self.errors_ += std::string(bundlePath) + ": " + ToUTF8(error) + "\n";
    }

    std::vector<IUnknownVTbl **> instances_;
    std::string errors_;
    PlugInIntf *pde_ = nullptr;
};

}  // namespace kvx::test
