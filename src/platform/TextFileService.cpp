#include "platform/TextFileService.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextFileHandle.h"

TextFileService::TextFileService() : m_handle(std::make_unique<Handle>()) {}

TextFileService::~TextFileService()
{
    close();
}

bool TextFileService::openForAppending(const std::string& path)
{
    close();
    return noteOutcome(m_handle->openForAppending(path));
}

bool TextFileService::create(const std::string& path, bool overwrite)
{
    close();
    return noteOutcome(m_handle->create(path, overwrite));
}

bool TextFileService::writeLine(const std::string& utf8Text)
{
    return noteOutcome(m_handle->write(toAnsiCodePage(utf8Text) + "\r\n"));
}

bool TextFileService::close()
{
    return noteOutcome(!isOpen() || m_handle->close());
}

bool TextFileService::isOpen() const
{
    return m_handle->native != Handle::none;
}

bool TextFileService::noteOutcome(bool succeeded)
{
    m_lastErrorText = succeeded ? std::string() : m_handle->failure;
    return succeeded;
}
