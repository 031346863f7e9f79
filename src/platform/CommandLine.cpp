#include "platform/CommandLine.h"

std::vector<std::string> splitWindowsCommandLine(const std::string& commandLineTail)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    std::size_t i = 0;
    const std::size_t n = commandLineTail.size();
    while (i < n) {
        const char c = commandLineTail[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) {
                arguments.push_back(current);
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t backslashes = 0;
            while (i < n && commandLineTail[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && commandLineTail[i] == '"') {
                // 2n backslashes before a quote are n backslashes and a quote that groups; 2n+1 are n
                // backslashes and a literal quote.
                current.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
            } else {
                current.append(backslashes, '\\');
            }
            continue;
        }
        if (c == '"') {
            // Inside a quoted part a doubled quote stands for one literal quote, and the quoted part goes on.
            if (quoted && i + 1 < n && commandLineTail[i + 1] == '"') {
                current.push_back('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}
