#pragma once

#include "platform/ApplicationInfo.h"

// An executable that lives wherever a test says, under whatever name it says, for a user whose state folder
// is a "state" folder beside it unless the test says otherwise.
class FakeApplicationInfo final : public ApplicationInfo
{
public:
    FakeApplicationInfo(const QString& directory, const QString& baseName)
        : m_directory(directory), m_baseName(baseName), m_stateDirectory(directory + QStringLiteral("/state"))
    {
    }
    QString directory() const override { return m_directory; }
    QString baseName() const override { return m_baseName; }
    QString stateDirectory() const override { return m_stateDirectory; }
    void setDirectory(const QString& directory) { m_directory = directory; }
    void setBaseName(const QString& baseName) { m_baseName = baseName; }
    void setStateDirectory(const QString& directory) { m_stateDirectory = directory; }

private:
    QString m_directory;
    QString m_baseName;
    QString m_stateDirectory;
};
