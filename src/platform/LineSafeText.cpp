#include "platform/LineSafeText.h"

#include "platform/Utf8Text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

struct CodePointRange
{
    char32_t first;
    char32_t last;
};

// The controls (Cc), the line and paragraph separators (Zl, Zp) and the format characters (Cf) of Unicode 15,
// less U+200C and U+200D. In order, for the binary search.
constexpr CodePointRange kEscaped[] = {
    {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200B},   {0x200E, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F},
    {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool isEscaped(char32_t codePoint)
{
    const auto after =
        std::upper_bound(std::begin(kEscaped), std::end(kEscaped), codePoint,
                         [](char32_t point, const CodePointRange& range) { return point < range.first; });
    return after != std::begin(kEscaped) && codePoint <= std::prev(after)->last;
}

char32_t codePointOf(const std::string& text, std::size_t position, std::size_t length)
{
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t point = static_cast<unsigned char>(text[position]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i)
        point = point << 6 | (static_cast<unsigned char>(text[position + i]) & 0x3F);
    return point;
}

std::string escape(const char* format, unsigned value)
{
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace

std::string lineSafeText(const std::string& utf8)
{
    std::string safe;
    safe.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, position);
        if (length == 0) {
            safe += escape("<0x%02X>", static_cast<unsigned char>(utf8[position]));
            ++position;
            continue;
        }
        const char32_t point = codePointOf(utf8, position, length);
        if (isEscaped(point))
            safe += escape("<U+%04X>", static_cast<unsigned>(point));
        else
            safe.append(utf8, position, length);
        position += length;
    }
    return safe;
}
