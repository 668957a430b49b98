#pragma once

// Errors and questions go through here so that window tests can see and answer them.

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace hv::ui {

// Shows a warning. By default a QMessageBox; tests install their own sink.
void showError(QWidget* parent, const QString& title, const QString& text);
// The text for a caught exception (GameFileError: "file, line N: problem").
QString describeError(const std::exception& error);

using MessageSink = std::function<void(const QString& title, const QString& text)>;
void setMessageSink(MessageSink sink); // empty sink restores the message box

// Runs `operation`; reports any GameFileError/OperationRefused as an error and returns false.
bool runReported(QWidget* parent, const QString& title, const std::function<void()>& operation);

} // namespace hv::ui
