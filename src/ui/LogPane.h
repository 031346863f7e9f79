#pragma once

#include "log/LogPaneText.h"

#include <QPlainTextEdit>

// The activity log pane, txtLog. The lines put on top wait in a text of their own until the event loop runs
// again, and then reach the document in one edit: a tick's lines cost the tick the same on an empty pane and
// on a full one, and the pane lays out and paints them once, after the tick. Reading the pane's text includes
// them at once. The document keeps one block per line, so an edit costs in proportion to its lines, not to
// the day of lines already shown; the CR LF text is put together only when someone reads the whole pane.
class LogPane : public QPlainTextEdit, public LogPaneText
{
    Q_OBJECT

public:
    explicit LogPane(QWidget* parent = nullptr);

    QString text() const override;
    void setText(const QString& text) override;
    void prependText(const QString& text) override;
    bool isEmpty() const override;

private:
    void showPending();

    // The lines put on top that the document has not taken yet, newest first, CR LF terminated.
    QString m_pending;
};
