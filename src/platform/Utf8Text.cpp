#include "platform/Utf8Text.h"

namespace {

struct LeadByteRange
{
    unsigned char first;
    unsigned char last;
    std::size_t length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

// The well-formed byte sequences of the Unicode standard (table 3-7). The narrower second-byte ranges exclude
// overlong forms (E0, F0), UTF-16 surrogates (ED) and code points beyond U+10FFFF (F4).
constexpr LeadByteRange leadByteRanges[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

} // namespace

std::size_t utf8SequenceLength(const std::string& text, std::size_t position)
{
    if (position >= text.size())
        return 0;
    const auto byteAt = [&](std::size_t offset) {
        return position + offset < text.size() ? static_cast<unsigned char>(text[position + offset]) : 0;
    };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80)
        return 1;
    for (const LeadByteRange& range : leadByteRanges) {
        if (lead < range.first || lead > range.last)
            continue;
        if (byteAt(1) < range.secondLow || byteAt(1) > range.secondHigh)
            return 0;
        for (std::size_t offset = 2; offset < range.length; ++offset) {
            if ((byteAt(offset) & 0xC0) != 0x80)
                return 0;
        }
        return range.length;
    }
    return 0;
}

std::string withInvalidUtf8Replaced(const std::string& text, char replacement)
{
    std::string result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t length = utf8SequenceLength(text, position);
        if (length == 0) {
            result += replacement;
            ++position;
        } else {
            result.append(text, position, length);
            position += length;
        }
    }
    return result;
}
