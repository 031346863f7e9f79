#include "platform/FileHandle.h"

#include <filesystem>

bool FileHandle::opened(std::intptr_t native, const std::string& path, bool created)
{
    m_native = native;
    m_path = path;
    m_created = created && isOpen();
    return isOpen();
}

bool replaceFileDurably(const std::string& path, const std::string& bytes, std::string& failure)
{
    // The new content is complete and on the disk before it takes the old one's name, in one step.
    const std::string next = path + ".new";
    FileHandle file;
    const bool written = file.create(next, true) && file.write(bytes) && file.sync() && file.close();
    if (!written)
        failure = file.failure();
    else if (renameFileDurably(next, path, failure))
        return true;
    std::string ignored;
    removeFileDurably(next, ignored);
    return false;
}

PathKind pathKind(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(std::filesystem::u8path(path), error).type();
    if (type == std::filesystem::file_type::not_found)
        return PathKind::Missing;
    if (error)
        return PathKind::Unknown;
    return type == std::filesystem::file_type::regular ? PathKind::RegularFile : PathKind::Other;
}
