#pragma once

// Text from outside the program (a folder's name, a file path, the system's error text) as it goes into one line
// of the pane, a log file or an event. Plain C++ without Qt; UTF-8 in and out.

#include <string>

// Every control character (CR, LF, TAB, ...), line or paragraph separator and Unicode format character (the
// bidirectional marks and overrides such as U+202E, zero-width spaces, the byte order mark) becomes the visible
// escape <U+XXXX>, its code point in hexadecimal; a byte that is not UTF-8 becomes <0xHH>. So a name can neither
// start a line of its own nor turn the line's text around. The zero-width non-joiner and joiner (U+200C, U+200D)
// stay, since Persian spelling uses them. Windows forbids "<" and ">" in file names, so there an escape never
// reads like a name's own text. A text without such characters comes back unchanged, byte for byte.
std::string lineSafeText(const std::string& utf8);
