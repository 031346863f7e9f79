#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end of the scope.
// Paths are handed out as UTF-8 text, the form the text-file service takes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string pathOf(const std::string& name) const;
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;
    bool exists(const std::string& name) const;
    void makeFolder(const std::string& name) const;

private:
    std::filesystem::path m_path;
};
