#pragma once

#include "scheduler/MessageBoxStyle.h"

#include <QString>

class QWidget;

// The message box and the input box of the scheduler's three questions. Both are modal to their owner and
// run a nested event loop, so the window's timer keeps ticking while they wait for an answer.

// Shows text (CR LF breaks the line) under title with the buttons and icon of style; the first button is the
// default. Returns the button pressed; closing the box answers Cancel where there is one and No otherwise.
MessageBoxAnswer messageBox(QWidget* owner, const QString& text, const MessageBoxStyle& style, const QString& title);

// Shows prompt under title with preset in an input field that shows what is typed. Returns the text exactly
// as typed (no trimming), or an empty text when the operator cancels.
QString inputBox(QWidget* owner, const QString& prompt, const QString& title, const QString& preset);

// For tests that need an answer but not the dialog: the next messageBox (or inputBox) shows nothing and
// returns answer at once; the one after it shows its dialog again.
void setNextMessageBoxAnswer(MessageBoxAnswer answer);
void setNextInputBoxAnswer(const QString& answer);
// Forgets next answers that no dialog has taken.
void clearNextAnswers();
