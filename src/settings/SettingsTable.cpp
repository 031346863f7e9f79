#include "settings/SettingsTable.h"

#include <limits>

std::optional<std::int16_t> settingValueFromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype position = 0;
    const bool negative = trimmed.startsWith(QLatin1Char('-'));
    if (negative || trimmed.startsWith(QLatin1Char('+')))
        position = 1;
    if (position == trimmed.size())
        return std::nullopt;

    // Accumulated as a negative number, whose range reaches one further than the positive one.
    constexpr int lowest = std::numeric_limits<std::int16_t>::min();
    int value = 0;
    for (; position < trimmed.size(); ++position) {
        const char16_t digit = trimmed.at(position).unicode();
        if (digit < u'0' || digit > u'9')
            return std::nullopt;
        value = value * 10 - (digit - u'0');
        if (value < lowest)
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int16_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}
