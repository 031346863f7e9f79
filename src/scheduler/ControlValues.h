#pragma once

// Values of the window's state in the forms runtime's own numbering, which the scheduler reads and writes and
// the window's controls show.

// A check box's Value. Only Checked runs a job, or Auto Start; the operator's clicks give Unchecked and Checked.
namespace CheckBoxValue {
enum : int
{
    Unchecked = 0,
    Checked = 1,
    Grayed = 2
};
} // namespace CheckBoxValue

// The status lamp's BackColor: 24 bits with red in the lowest byte.
namespace LampColor {
enum : int
{
    Red = 0x0000ff,
    Green = 0x00ff00
};
} // namespace LampColor
