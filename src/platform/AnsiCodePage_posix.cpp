#include "platform/AnsiCodePage.h"

#include "platform/Utf8Text.h"

#include <cerrno>
#include <iconv.h>

namespace {

const auto failedConversion = static_cast<std::size_t>(-1);

class Converter
{
public:
    Converter() : m_descriptor(iconv_open("WINDOWS-1256", "UTF-8")) {}
    ~Converter()
    {
        if (isValid())
            iconv_close(m_descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isValid() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }
    iconv_t descriptor() const { return m_descriptor; }

private:
    iconv_t m_descriptor;
};

// Without a converter (a system without gconv modules) only ASCII survives.
std::string asciiOnly(const std::string& validUtf8)
{
    std::string result;
    for (std::size_t position = 0; position < validUtf8.size();) {
        const std::size_t length = utf8SequenceLength(validUtf8, position);
        result += length == 1 ? validUtf8[position] : '?';
        position += length > 0 ? length : 1;
    }
    return result;
}

} // namespace

std::string toAnsiCodePage(const std::string& utf8Text)
{
    std::string valid = withInvalidUtf8Replaced(utf8Text, '?');
    Converter converter;
    if (!converter.isValid())
        return asciiOnly(valid);

    // A single-byte code page never needs more bytes than the UTF-8 text has.
    std::string result(valid.size(), '\0');
    char* input = valid.data();
    std::size_t inputLeft = valid.size();
    char* output = result.data();
    std::size_t outputLeft = result.size();
    while (inputLeft > 0) {
        if (iconv(converter.descriptor(), &input, &inputLeft, &output, &outputLeft) != failedConversion)
            break;
        if (errno != EILSEQ || outputLeft == 0)
            break;
        // The input is valid UTF-8, so this is a character that the code page lacks: skip it whole.
        const std::size_t length = utf8SequenceLength(valid, static_cast<std::size_t>(input - valid.data()));
        *output++ = '?';
        --outputLeft;
        input += length;
        inputLeft -= length;
    }
    result.resize(result.size() - outputLeft);
    return result;
}
