// Interface-file references and the windows made from them.
#include <cstdio>
#include <memory>

#include "KVXHost.h"
#include "bundle/bundle.hpp"
#include "core/strings.hpp"
#include "edit_text.hpp"
#include "nib_document.hpp"
#include "popup_button.hpp"
#include "window.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kNibExtension = ".nib";

// An opened interface file: its contents, read and checked when opened.
class NibReference final : public Object {
public:
    static CFTypeID Type() {
        static const CFTypeID type = RegisterType("NibReference");
        return type;
    }
    explicit NibReference(std::shared_ptr<const NibDocument> document)
        : Object(Type()), document_(std::move(document)) {}

    const NibDocument &document() const { return *document_; }

private:
    std::shared_ptr<const NibDocument> document_;
};

NibReference *AsNib(IBNibRef ref) { return As<NibReference>(ref, NibReference::Type()); }

Reference<Menu> BuildMenu(const std::vector<std::u16string> &items) {
    auto menu = Adopt(Create<Menu>());
    menu->reserve(items.size());
    for (const auto &text : items) menu->append(Menu::Item{text});
    return menu;
}

Reference<Control> BuildControl(const ControlDescription &description) {
    Reference<Control> control;
    switch (description.kind) {
    case kControlKindPopupButton:
        control = Adopt<Control>(Create<PopupButton>(description.bounds, description.title,
                                                     description.hasMenu ? BuildMenu(description.items) : nullptr));
        control->setValue(description.value);
        break;
    case kControlKindEditUnicodeText:
        control = Adopt<Control>(Create<EditText>(description.bounds, description.text));
        break;
    default:
        control = Adopt(Create<Control>(description.kind, description.bounds));
        control->setTitle(description.title);
        break;
    }
    control->setID(description.id);
    control->setEnabled(description.enabled);
    control->reserveChildren(description.children.size());
    for (const auto &child : description.children) control->embed(BuildControl(child));
    return control;
}

Reference<Window> BuildWindow(const WindowDescription &description) {
    auto window = Adopt(Create<Window>(description.content));
    window->setTitle(description.title);
    window->root().reserveChildren(description.controls.size());
    for (const auto &control : description.controls) window->root().embed(BuildControl(control));
    return window;
}

OSStatus OpenNib(const std::string &path, IBNibRef *outNibRef) {
    auto read = ReadNibFile(path);
    if (auto *problem = std::get_if<NibProblem>(&read)) {
        std::fprintf(stderr, "kvxhost: %s\n", problem->message.c_str());
        return problem->status;
    }
    *outNibRef = ToRef<IBNibRef>(Create<NibReference>(std::get<std::shared_ptr<const NibDocument>>(std::move(read))));
    return noErr;
}

}  // namespace
}  // namespace kvx::host

using kvx::host::AsNib;

extern "C" {

CFTypeID KVXNibGetTypeID(void) { return kvx::host::NibReference::Type(); }

OSStatus KVXCreateNibReferenceWithPath(const char *path, IBNibRef *outNibRef) {
    if (outNibRef == nullptr) return paramErr;
    *outNibRef = nullptr;
    if (path == nullptr) return paramErr;
    return kvx::host::OpenNib(path, outNibRef);
}

// A name that would lead out of the bundle's resources finds no file there.
OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName, IBNibRef *outNibRef) {
    if (outNibRef == nullptr) return paramErr;
    *outNibRef = nullptr;
    if (inBundle == nullptr || inNibName == nullptr) return paramErr;
    const std::string name = kvx::host::ToUTF8(inNibName);
    if (name.empty() || name.find('/') != std::string::npos) return kIBCarbonRuntimeCantFindNibFile;
    const kvx::host::Bundle *bundle = kvx::host::BundleFrom(inBundle);
    if (bundle == nullptr) return kIBCarbonRuntimeCantFindNibFile;
    const std::string &resources = bundle->resourcesFolder().native();
    std::string path;
    path.reserve(resources.size() + 1 + name.size() + kvx::host::kNibExtension.size());
    path.append(resources).append("/").append(name).append(kvx::host::kNibExtension);
    return kvx::host::OpenNib(path, outNibRef);
}

// On failure *outWindow is left as it was.
OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef *outWindow) {
    const kvx::host::NibReference *nib = AsNib(inNibRef);
    if (nib == nullptr || inName == nullptr || outWindow == nullptr) return paramErr;
    const kvx::host::WindowDescription *description = nib->document().find(kvx::host::ToUTF8(inName));
    if (description == nullptr) return kIBCarbonRuntimeCantFindObject;
    *outWindow = kvx::host::ToRef<WindowRef>(kvx::host::BuildWindow(*description).release());
    return noErr;
}

void DisposeNibReference(IBNibRef inNibRef) {
    if (kvx::host::NibReference *nib = AsNib(inNibRef)) nib->release();
}

}  // extern "C"
