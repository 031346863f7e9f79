#include "support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

TempFolder::TempFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = std::filesystem::temp_directory_path() / ("zor-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(m_path))
            return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::pathOf(const std::string& name) const
{
    return (m_path / name).u8string();
}

std::string TempFolder::read(const std::string& name) const
{
    std::ifstream in(m_path / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempFolder::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(m_path / name, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

bool TempFolder::exists(const std::string& name) const
{
    return std::filesystem::exists(m_path / name);
}

void TempFolder::makeFolder(const std::string& name) const
{
    std::filesystem::create_directories(m_path / name);
}
