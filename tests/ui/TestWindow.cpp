#include "TestWindow.h"

#include "support/StoredSettings.h"

#include <QFile>

TestWindow::ConfigHome::ConfigHome()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(directory.path()));
    // Where the store is the registry, the one of this name is emptied instead.
    StoredSettings::clear(QStringLiteral("zorScheduler"));
}

TestWindow::TestWindow() : m_window(m_platform.platform()) {}
