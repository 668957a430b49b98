#include "messages.h"

#include "byte_text.h"
#include "gamefiles/error.h"

#include <QMessageBox>

namespace hv::ui {
namespace {
MessageSink& sink() {
    static MessageSink s;
    return s;
}
} // namespace

void setMessageSink(MessageSink s) {
    sink() = std::move(s);
}

void showError(QWidget* parent, const QString& title, const QString& text) {
    if (sink()) {
        sink()(title, text);
        return;
    }
    QMessageBox::warning(parent, title, text);
}

QString describeError(const std::exception& error) {
    if (const auto* e = dynamic_cast<const GameFileError*>(&error)) {
        // Paths are bytes on disk; show them through the same byte table as file contents.
        QString text = toQt(e->file().string());
        if (e->line() > 0)
            text += QStringLiteral(", line %1").arg(e->line());
        return text + QStringLiteral(":\n") + toQt(e->problem());
    }
    return toQt(error.what());
}

bool runReported(QWidget* parent, const QString& title, const std::function<void()>& operation) {
    try {
        operation();
        return true;
    } catch (const GameFileError& e) {
        showError(parent, title, describeError(e));
    } catch (const OperationRefused& e) {
        showError(parent, title, describeError(e));
    }
    return false;
}

} // namespace hv::ui
