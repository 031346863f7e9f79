#pragma once

// What a message box shows: its buttons, its icon, and whether its text reads right to left (aligned to the
// right as well). The first button is the default.
enum class MessageBoxButtons
{
    YesNo,
    YesNoCancel
};

enum class MessageBoxIcon
{
    Question,
    Critical
};

struct MessageBoxStyle
{
    MessageBoxButtons buttons;
    MessageBoxIcon icon;
    bool rightToLeft = false;
};

// The button that answered a message box; closing a box answers Cancel where it has one and No otherwise.
enum class MessageBoxAnswer
{
    Yes,
    No,
    Cancel
};
