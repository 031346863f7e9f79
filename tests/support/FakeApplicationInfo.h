#pragma once

#include "scheduler/ApplicationInfo.h"

// An executable that lives wherever a test says, under whatever name it says.
class FakeApplicationInfo final : public ApplicationInfo
{
public:
    FakeApplicationInfo(const QString& directory, const QString& baseName)
        : m_directory(directory), m_baseName(baseName)
    {
    }
    QString directory() const override { return m_directory; }
    QString baseName() const override { return m_baseName; }
    void setDirectory(const QString& directory) { m_directory = directory; }
    void setBaseName(const QString& baseName) { m_baseName = baseName; }

private:
    QString m_directory;
    QString m_baseName;
};
