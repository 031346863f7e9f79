#include "platform/AnsiCodePage.h"

#include "platform/Utf8Text.h"

#include <cerrno>
#include <iconv.h>

namespace {

const auto failedConversion = static_cast<std::size_t>(-1);
const char* const codePage = "WINDOWS-1256";

class Converter
{
public:
    Converter(const char* to, const char* from) : m_descriptor(iconv_open(to, from)) {}
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
    Converter converter(codePage, "UTF-8");
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

std::string fromAnsiCodePage(const std::string& ansiText)
{
    // Every byte of Windows-1256 stands for a character, so the text converts whole; without a converter
    // only ASCII is read back.
    Converter converter("UTF-8", codePage);
    std::string input = ansiText;
    if (!converter.isValid())
        return withInvalidUtf8Replaced(input, '?');
    // No character of the code page takes more than three bytes in UTF-8.
    std::string result(input.size() * 3, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = result.data();
    std::size_t outLeft = result.size();
    while (inLeft > 0 && iconv(converter.descriptor(), &in, &inLeft, &out, &outLeft) == failedConversion) {
        if (errno != EILSEQ && errno != EINVAL)
            break;
        *out++ = '?';
        --outLeft;
        ++in;
        --inLeft;
    }
    result.resize(result.size() - outLeft);
    return result;
}
