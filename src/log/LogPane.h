#pragma once

#include "log/LogPaneText.h"

#include <QPlainTextEdit>

// The activity log pane, txtLog. The document keeps one block per line, so putting a line on top costs in
// proportion to the line, not to the day of lines already shown; the CR LF text is put together only when
// someone reads the whole pane.
class LogPane : public QPlainTextEdit, public LogPaneText
{
    Q_OBJECT

public:
    explicit LogPane(QWidget* parent = nullptr);

    QString text() const override;
    void setText(const QString& text) override;
    void prependText(const QString& text) override;
    bool isEmpty() const override;
};
