// Positions in a text as toolkits count them (characters) and as the host
// counts them (UTF-16 units); they differ for characters outside the BMP.
#pragma once

#include <string>
#include <string_view>

namespace kvx::session {

// utf8 is valid UTF-8. A position past the end stands for the end; a UTF-16
// position between the two halves of a surrogate pair gives the character
// that the pair encodes.
long CharacterOffsetFromUTF16(std::string_view utf8, long utf16Offset);
long UTF16OffsetFromCharacter(std::string_view utf8, long characterOffset);

// One character as UTF-8.
std::string EncodeUTF8(char32_t character);

}  // namespace kvx::session
