#pragma once

#include <QString>

// The text of the activity log pane, as the log reads and writes it: a run of lines, newest first, each
// ending in CR LF. The window's pane (LogPane) holds it; the tests also a plain text.
class LogPaneText
{
public:
    virtual ~LogPaneText() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    // Puts text (one or more CR LF terminated lines) in front of the pane's text.
    virtual void prependText(const QString& text) = 0;
    virtual bool isEmpty() const = 0;
};
