#include "messages.h"

#include "byte_text.h"
#include "gamefiles/check.h"
#include "gamefiles/error.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace hv::ui {
namespace {
MessageSink& sink() {
    static MessageSink s;
    return s;
}
QuestionAnswerer& answerer() {
    static QuestionAnswerer a;
    return a;
}
std::optional<QString>& nextOpenFileName() {
    static std::optional<QString> name;
    return name;
}
bool& noUser() {
    static bool none = false;
    return none;
}

// Nobody would close the box: say it where the caller can read it, and end.
[[noreturn]] void endUnanswered(const QString& title, const QString& text) {
    const QByteArray bytes =
        (QStringLiteral("hv-editor: ") +
         (title.isEmpty() ? QString() : title + QStringLiteral(": ")) + text + QLatin1Char('\n'))
            .toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    std::fflush(stdout);
    // Windows and the application object are still up; their teardown is not needed.
    std::_Exit(1);
}
} // namespace

void setNoUser(bool none) {
    noUser() = none;
}

void setMessageSink(MessageSink s) {
    sink() = std::move(s);
}

void showError(QWidget* parent, const QString& title, const QString& text) {
    if (sink()) {
        sink()(title, text);
        return;
    }
    if (noUser())
        endUnanswered(title, text);
    // Text from the game's files (a name, a line of an export file) is shown as it is: the
    // box would otherwise render markup in it.
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text) {
    if (answerer())
        return answerer()(title, text);
    if (noUser())
        endUnanswered(title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void setQuestionAnswerer(QuestionAnswerer a) {
    answerer() = std::move(a);
}

QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& filter) {
    if (auto& next = nextOpenFileName(); next) {
        const QString name = *next;
        next.reset();
        return name;
    }
    return QFileDialog::getOpenFileName(parent, title, {}, filter);
}

QString chooseFileToSave(QWidget* parent, const QString& title, const QString& filter,
                         const QString& suggested) {
    if (auto& next = nextOpenFileName(); next) {
        const QString name = *next;
        next.reset();
        return name;
    }
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void setNextOpenFileName(std::optional<QString> name) {
    nextOpenFileName() = std::move(name);
}

QString describeError(const std::exception& error) {
    if (const auto* e = dynamic_cast<const GameFileError*>(&error)) {
        // Worded as hv check words it; paths are bytes on disk, shown through the same byte
        // table as file contents.
        return toQt(problemText(e->file(), e->line(), e->problem()));
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
