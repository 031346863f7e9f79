#pragma once

#include "support/TestPlatform.h"
#include "ui/frmScheduler.h"

#include <QTemporaryDir>

// A window as created, on the test platform, with a settings store of its own that starts empty, so that
// nothing a test clicks reaches the settings of the person running the tests.
class TestWindow
{
public:
    TestWindow();

    frmScheduler& window() { return m_window; }

private:
    struct ConfigHome
    {
        ConfigHome();
        QTemporaryDir directory;
    };

    ConfigHome m_configHome;
    TestPlatform m_platform;
    frmScheduler m_window;
};
