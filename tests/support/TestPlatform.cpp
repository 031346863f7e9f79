#include "support/TestPlatform.h"

#include "platform/FilePaths.h"

#include <QDir>

TestPlatform::TestPlatform()
    : application(std::make_shared<FakeApplicationInfo>(directory.path(), QStringLiteral("zorScheduler")))
{
    QDir(directory.path()).mkdir(QStringLiteral("Temp"));
}

Platform TestPlatform::platform()
{
    return {clock, application, shell.shellCall()};
}

QString TestPlatform::path(const QString& relativePath) const
{
    return fileInDirectory(directory.path(), relativePath);
}
