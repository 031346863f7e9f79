#pragma once

// Style flags and answers of the message box in the platform's own numbering, so that a style reads as one
// number, as the window's questions give it: 36 for Clear Log's, 1572883 for the close question's.
namespace MessageBoxStyle {
enum : int
{
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    RightAlign = 524288,
    RtlReading = 1048576
};
} // namespace MessageBoxStyle

namespace MessageBoxAnswer {
enum : int
{
    Cancel = 2,
    Yes = 6,
    No = 7
};
} // namespace MessageBoxAnswer
