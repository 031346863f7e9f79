#pragma once

// The number of the code page that the text-file service writes: the system's ANSI code page on Windows
// (under Wine it follows the locale Wine runs in), Windows-1256 elsewhere.
unsigned systemCodePage();
