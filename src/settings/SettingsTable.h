#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// One persisted job choice: the key it is stored under, the control on frmScheduler whose Value or ListIndex
// it holds, and the value used when nothing (or nothing usable) is stored.
struct SettingRow
{
    const char* key;
    const char* control;
    std::int16_t defaultValue;
};

// Every persisted setting, in the order LoadSettings reads them. chkBackupDatabase is deliberately absent: it
// starts ticked at every run whatever the operator did before.
extern const std::array<SettingRow, 10> settingRows;

// The row whose control carries objectName, or nullptr.
const SettingRow* settingRowOfControl(const QString& objectName);

// The 16-bit integer a stored text spells: optional blanks around an optional sign and decimal digits
// (leading zeros allowed). Anything else, including fractions and numbers outside -32768 to 32767, gives
// nothing.
std::optional<std::int16_t> settingValueFromText(const QString& text);
