#include "platform/TextFileService.h"

#include "platform/AnsiCodePage.h"

bool TextFileService::openForAppending(const std::string& path)
{
    close();
    return noteOutcome(m_file.openForAppending(path));
}

bool TextFileService::create(const std::string& path, bool overwrite)
{
    close();
    return noteOutcome(m_file.create(path, overwrite));
}

bool TextFileService::writeLine(const std::string& utf8Text)
{
    return write(lineBytes(utf8Text));
}

bool TextFileService::write(const std::string& bytes)
{
    return noteOutcome(m_file.write(bytes));
}

bool TextFileService::truncate(std::int64_t length)
{
    return noteOutcome(m_file.truncate(length));
}

std::int64_t TextFileService::size()
{
    const std::int64_t length = m_file.size();
    noteOutcome(length >= 0);
    return length;
}

bool TextFileService::sync()
{
    return noteOutcome(m_file.sync());
}

bool TextFileService::close()
{
    return noteOutcome(m_file.close());
}

std::string TextFileService::lineBytes(const std::string& utf8Text)
{
    return toAnsiCodePage(utf8Text) + "\r\n";
}

bool TextFileService::noteOutcome(bool succeeded)
{
    m_lastErrorText = succeeded ? std::string() : m_file.failure();
    return succeeded;
}
