#pragma once

#include <cstddef>
#include <string>

// The length of the well-formed UTF-8 sequence that starts at position in text, or 0 when the byte there
// does not start one (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t utf8SequenceLength(const std::string& text, std::size_t position);

// The text with every byte that is not part of a well-formed UTF-8 sequence replaced by replacement, so
// that the platform converters only ever see valid input and both platforms treat broken text alike.
std::string withInvalidUtf8Replaced(const std::string& text, char replacement);
