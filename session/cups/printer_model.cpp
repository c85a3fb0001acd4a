#include "session/cups/printer_model.hpp"

#include <cups/transcode.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "session/messages.hpp"

// See ppd_file.hpp: the model is read from the printer's PPD.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace kvx::session {
namespace {

struct PPDEncoding {
    std::string_view name;  // the PPD's LanguageEncoding
    cups_encoding_t encoding;
};

// The LanguageEncoding values that are no UTF-8, as libcups maps them.
constexpr std::array kPPDEncodings = {
    PPDEncoding{"ISOLatin1", CUPS_ISO8859_1},     PPDEncoding{"ISOLatin2", CUPS_ISO8859_2},
    PPDEncoding{"ISOLatin5", CUPS_ISO8859_5},     PPDEncoding{"JIS83-RKSJ", CUPS_JIS_X0213},
    PPDEncoding{"MacStandard", CUPS_MAC_ROMAN},   PPDEncoding{"WindowsANSI", CUPS_WINDOWS_1252},
};
constexpr size_t kLongestModelBytes = 1024;

bool IsASCII(std::string_view text) {
    return std::ranges::all_of(text, [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// The model in UTF-8, converted from the PPD's encoding. libcups says
// "UTF-8" in lang_encoding whatever the file says, yet keeps the model's
// bytes as the file has them; the file's own LanguageEncoding tells.
std::string ModelAsUTF8(ppd_file_t &ppd) {
    const std::string_view model = ppd.modelname;
    const ppd_attr_t *encoding = ppdFindAttr(&ppd, "LanguageEncoding", nullptr);
    if (IsASCII(model) || encoding == nullptr || encoding->value == nullptr) return std::string(model);
    const auto known = std::ranges::find(kPPDEncodings, std::string_view(encoding->value), &PPDEncoding::name);
    if (known == kPPDEncodings.end()) return std::string(model);
    std::array<cups_utf8_t, kLongestModelBytes> converted{};
    if (cupsCharsetToUTF8(converted.data(), ppd.modelname, static_cast<int>(converted.size()), known->encoding) < 0) {
        return std::string(model);
    }
    return reinterpret_cast<const char *>(converted.data());
}

}  // namespace

std::string DescribePrinterModel(const PPDFile &ppd) {
    return ppd && ppd.get()->modelname != nullptr ? Quoted(ModelAsUTF8(*ppd.get())) : std::string("unknown");
}

}  // namespace kvx::session
