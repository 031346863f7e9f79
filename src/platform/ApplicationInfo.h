#pragma once

#include <QString>

// What the program knows of its own executable. Asked afresh at every use: the started programs lie in the
// executable's directory, and the base name addresses the settings and names the launcher's failures.
class ApplicationInfo
{
public:
    virtual ~ApplicationInfo() = default;
    // The directory holding the running executable, without a trailing separator.
    virtual QString directory() const = 0;
    // The executable's file name without directory and without a ".exe" ending.
    virtual QString baseName() const = 0;
    // The user's own folder for what cannot be kept where it belongs (see UserStateFolder.h); may not exist.
    virtual QString stateDirectory() const = 0;
};

class RunningApplicationInfo final : public ApplicationInfo
{
public:
    QString directory() const override;
    QString baseName() const override;
    QString stateDirectory() const override;
};
