#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The ten persisted job choices, each the Value of a check box or the ListIndex of a combo box of the window.
// The backup of the database has none: its box starts ticked at every run whatever the operator did before.
enum class Setting
{
    AutoStart,
    CleanBackupDir,
    ProcessInternetOrders,
    RunUpdateManager,
    SendSms,
    TransferData,
    TransferPerson,
    TransferDataInterval,
    SMSStartTime,
    TransferPersonInterval
};

// One persisted job choice: the key it is stored under, and the value used when nothing (or nothing usable)
// is stored.
struct SettingRow
{
    Setting setting;
    const char* key;
    std::int16_t defaultValue;
};

// Every persisted setting, in the order LoadSettings reads them, which is their own order. Rows 8 and 10 pair
// crosswise: the branch-data period cmbMIn is stored under "TransferDataInterval", and the person period
// cmbTransferMin under "TransferPersonInterval".
inline constexpr std::array<SettingRow, 10> settingRows{{
    {Setting::AutoStart, "AutoStart", 0},
    {Setting::CleanBackupDir, "CleanBackupDir", 1},
    {Setting::ProcessInternetOrders, "ProcessInternetOrders", 1},
    {Setting::RunUpdateManager, "RunUpdateManager", 1},
    {Setting::SendSms, "SendSms", 1},
    {Setting::TransferData, "TransferData", 1},
    {Setting::TransferPerson, "TransferPerson", 1},
    {Setting::TransferDataInterval, "TransferDataInterval", 2},
    {Setting::SMSStartTime, "SMSStartTime", 2},
    {Setting::TransferPersonInterval, "TransferPersonInterval", 2},
}};

constexpr const SettingRow& settingRow(Setting setting)
{
    return settingRows[static_cast<std::size_t>(setting)];
}

constexpr bool settingRowsInOrder()
{
    for (std::size_t i = 0; i < settingRows.size(); ++i) {
        if (static_cast<std::size_t>(settingRows[i].setting) != i)
            return false;
    }
    return true;
}
static_assert(settingRowsInOrder(), "every setting's row stands at the setting's own place");

// The 16-bit integer a stored text spells: optional blanks around an optional sign and decimal digits
// (leading zeros allowed). Anything else, including fractions and numbers outside -32768 to 32767, gives
// nothing.
std::optional<std::int16_t> settingValueFromText(const QString& text);
