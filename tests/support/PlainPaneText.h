#pragma once

#include "log/LogPaneText.h"

// The log pane's text as a plain text, for tests that need the log's rules but no widget.
class PlainPaneText final : public LogPaneText
{
public:
    QString text() const override { return m_text; }
    void setText(const QString& text) override { m_text = text; }
    void prependText(const QString& text) override { m_text.prepend(text); }
    bool isEmpty() const override { return m_text.isEmpty(); }

private:
    QString m_text;
};
