#include "session/controls/text_offsets.hpp"

namespace kvx::session {
namespace {

constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuation = 0x80;
constexpr unsigned char kFourByteLead = 0xF0;
constexpr char32_t kLastOneByte = 0x7F;
constexpr char32_t kLastTwoBytes = 0x7FF;
constexpr char32_t kLastThreeBytes = 0xFFFF;  // the BMP's last
constexpr int kBitsPerContinuation = 6;
constexpr char32_t kContinuationBits = 0x3F;

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & kContinuationMask) == kContinuation;
}

// Walks one character on; a four-byte sequence is the only one beyond the
// BMP, and so the only one that takes two UTF-16 units.
long NextCharacter(std::string_view utf8, size_t &at) {
    const bool beyondBMP = (static_cast<unsigned char>(utf8[at]) & kFourByteLead) == kFourByteLead;
    ++at;
    while (at < utf8.size() && IsContinuation(utf8[at])) ++at;
    return beyondBMP ? 2 : 1;
}

char Byte(char32_t bits) {
    return static_cast<char>(static_cast<unsigned char>(bits));
}

char ContinuationByte(char32_t character, int shift) {
    return Byte(kContinuation | ((character >> shift) & kContinuationBits));
}

}  // namespace

long CharacterOffsetFromUTF16(std::string_view utf8, long utf16Offset) {
    long characters = 0;
    long units = 0;
    for (size_t at = 0; at < utf8.size() && units < utf16Offset;) {
        units += NextCharacter(utf8, at);
        if (units > utf16Offset) break;  // the offset falls inside this pair
        ++characters;
    }
    return characters;
}

long UTF16OffsetFromCharacter(std::string_view utf8, long characterOffset) {
    long units = 0;
    long characters = 0;
    for (size_t at = 0; at < utf8.size() && characters < characterOffset; ++characters) units += NextCharacter(utf8, at);
    return units;
}

std::string EncodeUTF8(char32_t character) {
    constexpr int k1 = kBitsPerContinuation;
    constexpr int k2 = 2 * kBitsPerContinuation;
    constexpr int k3 = 3 * kBitsPerContinuation;
    if (character <= kLastOneByte) return {Byte(character)};
    if (character <= kLastTwoBytes) return {Byte(0xC0 | (character >> k1)), ContinuationByte(character, 0)};
    if (character <= kLastThreeBytes) {
        return {Byte(0xE0 | (character >> k2)), ContinuationByte(character, k1), ContinuationByte(character, 0)};
    }
    return {Byte(0xF0 | (character >> k3)), ContinuationByte(character, k2), ContinuationByte(character, k1),
            ContinuationByte(character, 0)};
}

}  // namespace kvx::session
