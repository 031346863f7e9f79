#include "settings/SettingsTable.h"

#include <limits>

// Rows 8 and 10 pair crosswise on purpose: the branch-data period cmbMIn has always been stored under
// "TransferDataInterval" and the person period cmbTransferMin under "TransferPersonInterval".
const std::array<SettingRow, 10> settingRows{{
    {"AutoStart", "chkAutoStart", 0},
    {"CleanBackupDir", "chkCleanBackupDir", 1},
    {"ProcessInternetOrders", "chkProcessInternetOrders", 1},
    {"RunUpdateManager", "chkRunUpdateManager", 1},
    {"SendSms", "chkSendSms", 1},
    {"TransferData", "chkTransferData", 1},
    {"TransferPerson", "chkTransferPerson", 1},
    {"TransferDataInterval", "cmbMIn", 2},
    {"SMSStartTime", "cmbSMSTime", 2},
    {"TransferPersonInterval", "cmbTransferMin", 2},
}};

const SettingRow* settingRowOfControl(const QString& objectName)
{
    for (const SettingRow& row : settingRows) {
        if (objectName == QLatin1String(row.control))
            return &row;
    }
    return nullptr;
}

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
