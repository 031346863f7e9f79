#include "platform/FileHandle.h"

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
