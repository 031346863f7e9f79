#include "log/LogPane.h"

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
    return raw;
}

void LogPane::setText(const QString& text)
{
    setPlainText(toDocumentText(text));
}

void LogPane::prependText(const QString& text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(toDocumentText(text));
}

bool LogPane::isEmpty() const
{
    return document()->isEmpty();
}
