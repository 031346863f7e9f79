#include "ui/LogPane.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// QTextCursor::insertText starts a new block at CR as well as at LF, so each CR LF becomes a single LF.
QString toDocumentText(const QString& text)
{
    QString result = text;
    result.replace(kLineEnd, QStringLiteral("\n"));
    return result;
}

} // namespace

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent)
{
    // The pane runs for weeks: an undo history would keep every line ever written.
    setUndoRedoEnabled(false);
}

QString LogPane::text() const
{
    // toRawText keeps the characters as written (toPlainText would turn no-break spaces into blanks) and
    // separates blocks with U+2029; the last block is the empty one after the final line end.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, kLineEnd);
    return m_pending + raw;
}

void LogPane::setText(const QString& text)
{
    m_pending.clear();
    setPlainText(toDocumentText(text));
}

void LogPane::prependText(const QString& text)
{
    if (m_pending.isEmpty())
        QMetaObject::invokeMethod(this, &LogPane::showPending, Qt::QueuedConnection);
    m_pending.prepend(text);
}

bool LogPane::isEmpty() const
{
    return m_pending.isEmpty() && document()->isEmpty();
}

void LogPane::showPending()
{
    if (m_pending.isEmpty())
        return;
    // One edit block: the cursor does not lay its line out after each insertion.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.insertText(toDocumentText(m_pending));
    cursor.endEditBlock();
    m_pending.clear();
}
