#include "editor_context.h"

#include "file_path.h"
#include "gamefiles/options.h"
#include "gamefiles/system_path.h"

#include <QWidget>

namespace hv::ui {

std::string EditorContext::gameFolder() const {
    return readGameFolder(settingsDir());
}

void EditorContext::followMainWindow(QObject*, std::function<void()>) {}

std::string gameFolder(const EditorContext& context) {
    return context.gameFolder();
}

PinnedContext::PinnedContext(EditorContext& main) : main_(main) {
    pin();
}

void PinnedContext::pin() {
    slot_ = main_.currentSlot();
    folder_.clear();
    folderError_ = nullptr;
    try {
        folder_ = main_.gameFolder();
    } catch (...) {
        // Said when the window first needs the folder, as it would have been without a pin.
        folderError_ = std::current_exception();
    }
}

std::string PinnedContext::gameFolder() const {
    if (folderError_)
        std::rethrow_exception(folderError_);
    return folder_;
}

void PinnedContext::followMainWindow(QObject* receiver, std::function<void()> changed) {
    main_.followMainWindow(this, [this, watcher = QPointer<QObject>(receiver), changed] {
        pin();
        if (watcher)
            changed();
    });
}

void PinnedContext::adopt(QWidget* window, const std::string& namedNow) {
    window_ = window;
    setParent(window);
    showFolderNamed(namedNow);
}

void PinnedContext::showFolderNamed(const std::string& namedNow) {
    if (!window_)
        return;
    const bool other = !folderError_ && namedNow != folder_;
    if (other == marked_)
        return;
    if (other) {
        caption_ = window_->windowTitle();
        window_->setWindowTitle(captionWithFolder(caption_, folder_));
    } else {
        window_->setWindowTitle(caption_);
    }
    marked_ = other;
}

QString captionWithFolder(const QString& caption, const std::string& folder) {
    const QString where = QStringLiteral("game folder %1").arg(pathText(pathFromBytes(folder)));
    return caption.isEmpty() ? where : caption + QStringLiteral(" (") + where + QLatin1Char(')');
}

} // namespace hv::ui
