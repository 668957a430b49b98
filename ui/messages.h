#pragma once

// Errors and questions go through here so that window tests can see and answer them.

#include <QString>

#include <exception>
#include <functional>
#include <optional>

class QWidget;

namespace hv::ui {

// A run without a user (`--screenshot`, no display): a message or question that would be a box
// is written on stderr instead, and the program ends with exit status 1, since nobody could
// answer it. Set once at start-up.
void setNoUser(bool noUser);

// Shows a warning. By default a QMessageBox; tests install their own sink.
void showError(QWidget* parent, const QString& title, const QString& text);
// The text for a caught exception (GameFileError: "path:line: problem", as hv check says it).
QString describeError(const std::exception& error);

using MessageSink = std::function<void(const QString& title, const QString& text)>;
void setMessageSink(MessageSink sink); // empty sink restores the message box

// Asks a question with Yes and No buttons; true for Yes. By default a QMessageBox; tests
// install an answerer (an empty one restores the message box).
bool askYesNo(QWidget* parent, const QString& title, const QString& text);
using QuestionAnswerer = std::function<bool(const QString& title, const QString& text)>;
void setQuestionAnswerer(QuestionAnswerer answerer);

// The common open-file dialog: the chosen file's full name, or empty when cancelled. Tests
// set the name the next dialog returns instead of showing one (an empty optional restores it).
QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& filter);
// The same for a file to write; the dialog asks before it names a file that exists.
// `suggested` is the name first offered; its suffix is added to a name typed without one.
QString chooseFileToSave(QWidget* parent, const QString& title, const QString& filter,
                         const QString& suggested);
void setNextOpenFileName(std::optional<QString> name);

// Runs `operation`; reports any GameFileError/OperationRefused as an error and returns false.
bool runReported(QWidget* parent, const QString& title, const std::function<void()>& operation);

} // namespace hv::ui
