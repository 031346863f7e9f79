#pragma once

#include <string>

// The text converted from UTF-8 to the system's ANSI code page: the system's own on Windows, Windows-1256
// elsewhere. Whatever the code page cannot represent, and bytes that are not valid UTF-8, become "?".
std::string toAnsiCodePage(const std::string& utf8Text);

// The UTF-8 text of bytes in the system's ANSI code page: what a file the program wrote says.
std::string fromAnsiCodePage(const std::string& ansiText);
