#include "support/TestWindow.h"

#include "log/DailyLogFile.h"
#include "log/DateTimeText.h"
#include "support/StoredSettings.h"
#include "support/WindowControls.h"

TestWindow::TestWindow(const QString& baseName)
{
    platform.application->setBaseName(baseName);
    StoredSettings::clear(baseName);
    restart();
}

void TestWindow::startUp()
{
    m_window->Form_Load();
    m_window->show();
}

void TestWindow::restart()
{
    m_jobEnds.reset();
    m_window.reset();
    m_window = std::make_unique<SchedulerWindow>(platform.platform());
    m_jobEnds = std::make_unique<JobEndListener>(*m_window, *m_window);
}

QStringList TestWindow::paneLines() const
{
    return pane(*m_window)->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QString TestWindow::newestLine() const
{
    return paneLines().value(0);
}

QString TestWindow::line(const QString& message) const
{
    return dateTimeText(platform.clock->now()) + message;
}

QString TestWindow::dailyLogFile() const
{
    return dailyLogFilePath(platform.application->directory(), platform.clock->now().date());
}
