// The restore window `restore`: lists the restore points of the slot in use, newest first,
// shows which files a point holds and what its change did, and puts the chosen one back. The list
// follows the points on disk: it is read again whenever a point is made (by any window, or by hv)
// and whenever the window comes forward; what a restore undoes is decided from the disk, never the
// list.

#include "restore_diff.h"
#include "restore_ops.h"
#include "restore_windows.h"

#include "gamefiles/game_folder.h"
#include "ui/byte_text.h"
#include "ui/file_path.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QEvent>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace hv::restore {
namespace {

constexpr int kIdRole = Qt::UserRole;

class RestoreWindow : public ui::ToolWindow {
public:
    explicit RestoreWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("restore"));
        setWindowTitle(QString::fromLatin1(kCaption));
        build();
        takeSlotFromContext();
        watcher_ = new QFileSystemWatcher(this);
        connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });
        refresh();
    }

protected:
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow())
            refresh();
    }

private:
    void build() {
        heading_ = new QLabel(this);
        heading_->setObjectName(QStringLiteral("Label1"));
        heading_->setWordWrap(true);

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Changes"));
        list_->setUniformItemSizes(true);
        connect(list_, &QListWidget::currentRowChanged, this, [this] { showFiles(); });

        files_ = new QLabel(this);
        files_->setObjectName(QStringLiteral("Label2"));
        files_->setTextFormat(Qt::PlainText);
        files_->setWordWrap(true);

        diff_ = new QPlainTextEdit(this);
        diff_->setObjectName(QStringLiteral("diff"));
        diff_->setAccessibleName(QStringLiteral("What changed"));
        diff_->setReadOnly(true);
        diff_->setLineWrapMode(QPlainTextEdit::NoWrap);

        restore_ = new QPushButton(QStringLiteral("Restore"), this);
        restore_->setObjectName(QStringLiteral("Command1"));
        connect(restore_, &QPushButton::clicked, this, [this] { apply(); });

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(heading_);
        layout->addWidget(list_, 1);
        layout->addWidget(files_);
        layout->addWidget(diff_, 1);
        layout->addWidget(restore_, 0, Qt::AlignRight);
        keepSlotBox();
        resize(640, 480);
    }

    // Watches the folder where the slot's next point will appear: its own area, or the
    // nearest folder above it that exists yet.
    void watchPoints(const std::string& gameFolder) {
        if (const QStringList old = watcher_->directories(); !old.isEmpty())
            watcher_->removePaths(old);
        const std::filesystem::path root(gameFolder);
        for (const auto& folder :
             {root / kRestoreFolder / slotName(), root / kRestoreFolder, root}) {
            std::error_code error;
            if (std::filesystem::is_directory(folder, error)) {
                watcher_->addPath(ui::pathText(folder));
                return;
            }
        }
    }

    // Reads the slot's points afresh; the point chosen before stays chosen, else the newest.
    void refresh() {
        heading_->setText(
            QStringLiteral("Changes made to %1, newest first. Restore puts the files of the "
                           "chosen change back as they were before it; the restore itself "
                           "becomes a point of its own, so it can be undone too.")
                .arg(slot()));
        const QVariant chosen =
            list_->currentItem() ? list_->currentItem()->data(kIdRole) : QVariant();
        points_.clear();
        list_->clear();
        ui::runReported(this, windowTitle(), [&] {
            const std::string folder = ui::gameFolder(context_);
            watchPoints(folder);
            points_ = listPoints(folder, slotName());
        });
        int row = 0;
        for (const RestorePoint& point : points_) {
            auto* item =
                new QListWidgetItem(ui::toQt(restoreTimeText(point.time)) + QStringLiteral("   ") +
                                        ui::toQt(point.description),
                                    list_);
            item->setData(kIdRole, QVariant::fromValue(point.id));
            item->setToolTip(item->text()); // a long wrestler name may still run past the edge
            if (chosen.isValid() && chosen.toULongLong() == point.id)
                row = list_->count() - 1;
        }
        if (list_->count() > 0)
            list_->setCurrentRow(row);
        showFiles();
    }

    void showFiles() {
        const int row = list_->currentRow();
        restore_->setEnabled(row >= 0);
        if (row < 0 || static_cast<std::size_t>(row) >= points_.size()) {
            files_->setText(points_.empty() ? QStringLiteral("No change has been made yet.")
                                            : QString());
            diff_->clear();
            return;
        }
        const RestorePoint& point = points_[static_cast<std::size_t>(row)];
        QStringList names;
        for (const auto& file : point.files)
            names << ui::toQt(file);
        files_->setText(QStringLiteral("Files: ") + names.join(QStringLiteral(", ")));
        // Told in the text area itself: a point gone since the list was read is no error.
        QStringList lines;
        try {
            for (const std::string& line :
                 describePoint(ui::gameFolder(context_), slotName(), point.id))
                lines << ui::toQt(line);
        } catch (const std::exception& e) {
            lines << ui::toQt(e.what());
        }
        diff_->setPlainText(lines.join(QLatin1Char('\n')));
    }

    // Asks about the plan made without the lock, then carries out only that plan; when the
    // fresh plan under the lock differs (a change made while the question was open), asks
    // about the new one.
    void apply() {
        QListWidgetItem* item = list_->currentItem();
        if (!item)
            return;
        const auto id = item->data(kIdRole).toULongLong();
        std::string folder;
        RestorePlan plan;
        if (!ui::runReported(this, windowTitle(), [&] {
                folder = ui::gameFolder(context_);
                plan = planRestore(folder, slotName(), id);
            })) {
            refresh();
            return;
        }
        RestoreResult result;
        for (bool again = false;; again = true) {
            if (!accepted(plan, again))
                return;
            std::optional<RestorePlan> moved;
            if (!ui::runReported(this, windowTitle(), [&] {
                    try {
                        result = applyPoint(folder, slotName(), id, plan.id);
                    } catch (const PlanRefused& e) {
                        moved = e.plan;
                    }
                })) {
                refresh();
                return;
            }
            if (!moved)
                break;
            plan = std::move(*moved);
        }
        if (result.point == 0) { // every file held its version already: nothing was written
            ui::showStatus(this, QStringLiteral("Nothing changed"));
            refresh();
            return;
        }
        // The editor's own write: the other windows showing these files reload.
        std::vector<std::filesystem::path> files;
        for (const auto& file : result.files)
            files.push_back(std::filesystem::path(folder) / file);
        ui::FileWatch::noteRestored(files);
        QStringList names;
        for (const auto& file : result.files)
            names.append(ui::toQt(playerFileName(std::filesystem::path(file))));
        ui::showStatus(
            this, QStringLiteral("Put back %1 as before \"%2\". Undo with the "
                                 "restore's own point, now at the top.")
                      .arg(names.join(QStringLiteral(" and ")), ui::toQt(plan.point.description)));
        refresh();
    }

    // Whether the user agrees to the plan: a question for the later changes it undoes, one
    // for files it overwrites; asked again, at least one question telling that it moved.
    bool accepted(const RestorePlan& plan, bool again) {
        QString moved = again ? QStringLiteral("What the restore would undo changed while "
                                               "you were asked; it is now this.\n\n")
                              : QString();
        if (!plan.later.empty()) {
            QString text = moved + QStringLiteral("These later changes touched the same files "
                                                  "and will be undone as well:\n");
            for (std::size_t i = 0; i < plan.later.size() && i < 5; ++i)
                text += QStringLiteral("\n") + ui::toQt(pointLabel(plan.later[i], slotName()));
            if (plan.later.size() > 5)
                text += QStringLiteral("\n... and %1 more").arg(plan.later.size() - 5);
            text += QStringLiteral("\n\nRestore anyway? (The restore can itself be undone.)");
            if (!ui::askYesNo(this, windowTitle(), text))
                return false;
            moved.clear();
        }
        // A file written by another program since the editor's last change would lose that
        // program's change.
        if (!plan.changedSince.empty()) {
            QStringList names;
            for (const auto& name : plan.changedSince)
                names << ui::toQt(name);
            QString text = names.join(QStringLiteral(" and "));
            text[0] = text[0].toUpper();
            text = moved + text +
                   QStringLiteral(" changed outside the editor after its last change here (the "
                                  "game may have saved). Restoring throws that change away. "
                                  "Restore anyway?");
            if (!ui::askYesNo(this, windowTitle(), text))
                return false;
            moved.clear();
        }
        if (moved.isEmpty())
            return true;
        QStringList names;
        for (const auto& file : plan.files)
            names << ui::toQt(playerFileName(std::filesystem::path(file)));
        return ui::askYesNo(this, windowTitle(),
                            moved + QStringLiteral("It puts back %1. Restore?")
                                        .arg(names.join(QStringLiteral(" and "))));
    }

    QLabel* heading_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* files_ = nullptr;
    QPlainTextEdit* diff_ = nullptr;
    QPushButton* restore_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    std::vector<RestorePoint> points_;
};

} // namespace

QWidget* createRestoreWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new RestoreWindow(context));
}

} // namespace hv::restore
