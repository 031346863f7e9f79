#include "ui/Prompts.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include <optional>

namespace {

// The tests' next answers (setNextMessageBoxAnswer, setNextInputBoxAnswer); empty in the program.
std::optional<MessageBoxAnswer> nextMessageBoxAnswer;
std::optional<QString> nextInputBoxAnswer;

template <typename Answer>
std::optional<Answer> take(std::optional<Answer>& next)
{
    std::optional<Answer> answer;
    answer.swap(next);
    return answer;
}

QMessageBox::StandardButtons buttonsOf(MessageBoxButtons buttons)
{
    switch (buttons) {
    case MessageBoxButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageBoxButtons::YesNo:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No;
}

QMessageBox::Icon iconOf(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Critical:
        return QMessageBox::Critical;
    case MessageBoxIcon::Question:
        break;
    }
    return QMessageBox::Question;
}

MessageBoxAnswer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageBoxAnswer::Yes;
    case QMessageBox::No:
        return MessageBoxAnswer::No;
    default:
        return MessageBoxAnswer::Cancel;
    }
}

} // namespace

void setNextMessageBoxAnswer(MessageBoxAnswer answer)
{
    nextMessageBoxAnswer = answer;
}

void setNextInputBoxAnswer(const QString& answer)
{
    nextInputBoxAnswer = answer;
}

MessageBoxAnswer messageBox(QWidget* owner, const QString& text, const MessageBoxStyle& style, const QString& title)
{
    if (const std::optional<MessageBoxAnswer> answer = take(nextMessageBoxAnswer))
        return *answer;
    // A label shows a lone CR as a glyph of its own; the platform's box shows CR LF as one line break.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    QMessageBox box(iconOf(style.icon), title, shown, buttonsOf(style.buttons), owner);
    box.setTextFormat(Qt::PlainText);
    // The first button, Yes, is the default.
    box.setDefaultButton(QMessageBox::Yes);
    if (style.rightToLeft) {
        box.setLayoutDirection(Qt::RightToLeft);
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
    return answerOf(box.exec());
}

QString inputBox(QWidget* owner, const QString& prompt, const QString& title, const QString& preset)
{
    if (const std::optional<QString> answer = take(nextInputBoxAnswer))
        return *answer;
    QInputDialog dialog(owner);
    // A window of its own takes the application's font, not its owner's: on Windows the system's dialog face,
    // "MS Shell Dlg". Where that face is missing (Wine without its own fonts) it falls to a math face whose text
    // height as GDI reports it is four times its line's; the field centres the typed text by that height, so
    // the text and the caret land above its frame. The form's font, with the stand-ins the form sets up for
    // it, draws the field as the form draws its own.
    if (owner)
        dialog.setFont(owner->font());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(preset);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void clearNextAnswers()
{
    nextMessageBoxAnswer.reset();
    nextInputBoxAnswer.reset();
}
