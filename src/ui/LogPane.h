#pragma once

#include <QPlainTextEdit>

// The activity log pane. Its text is a run of lines, newest first, each ending in CR LF. The document keeps
// one block per line, so putting a line on top costs in proportion to the line, not to the day of lines
// already shown; the CR LF text is put together only when someone reads the whole pane.
class LogPane : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit LogPane(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Puts text (one or more CR LF terminated lines) in front of the pane's text.
    void prependText(const QString& text);
    bool isEmpty() const;
};
