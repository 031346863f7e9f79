#include "TestWindow.h"

#include <QFile>

TestWindow::ConfigHome::ConfigHome()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(directory.path()));
}

TestWindow::TestWindow() : m_window(m_platform.platform()) {}
