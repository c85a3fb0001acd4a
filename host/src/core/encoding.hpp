// Byte encodings other than UTF-8, through the C library's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvx::host {

// Converts bytes with iconv; unconvertible characters become '?' when lossy
// is true, else nullopt. Nullopt too when iconv lacks either charset.
std::optional<std::string> ConvertBytes(std::string_view bytes, const char *fromCharset, const char *toCharset,
                                        bool lossy);
// True when every byte is below 0x80: the same text in ASCII, Mac Roman,
// UTF-8 and the ISO and Windows Latin charsets, with nothing to convert.
bool IsASCII(std::string_view bytes);
// Every byte has a character in Mac Roman.
std::u16string DecodeMacRoman(std::string_view bytes);
// The Mac Roman byte of one UTF-16 unit, or nullopt when Mac Roman lacks it.
std::optional<unsigned char> EncodeMacRoman(char16_t unit);

}  // namespace kvx::host
