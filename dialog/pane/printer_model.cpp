#include "pane/printer_model.hpp"

#include "KVXHostSupport.hpp"
#include "cli/messages.hpp"

namespace kvx::dialog {
namespace {

// "ModelName" as a length-prefixed main key.
constexpr unsigned char kModelNameKey[] = "\x09ModelName";
constexpr Oindex kFirstOption = 0;
constexpr Mindex kMissingKey = 0;

}  // namespace

std::optional<std::string> CopyPrinterModelName(PMTicketRef printerInfoTicket) {
    PPDContext context = nullptr;
    FSSpec file{};
    if (ppdOpenCompiledPPDFromTicket(printerInfoTicket, &context, &file) != noErr) return std::nullopt;

    std::optional<std::string> model;
    const Mindex index = ppdGetMainIndex(context, kModelNameKey);
    Str255 value{};
    if (index != kMissingKey &&
        ppdGetInvocationString(context, index, kFirstOption, value, sizeof value) == noErr) {
        const CFHolder<CFStringRef> name(CFStringCreateWithPascalString(nullptr, value, kCFStringEncodingMacRoman));
        if (name) model = ToUTF8(name.get());
    }
    ppdCloseCompiledPPDFromTicket(context, &file);
    return model;
}

std::string DescribePrinterModel(PMTicketRef printerInfoTicket) {
    const std::optional<std::string> model = CopyPrinterModelName(printerInfoTicket);
    return model ? Quoted(*model) : std::string("unknown");
}

}  // namespace kvx::dialog
