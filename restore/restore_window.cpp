// The restore window `restore`: lists the restore points of the slot in use, newest first,
// shows which files a point holds, and puts the chosen one back.

#include "restore_ops.h"
#include "restore_windows.h"

#include "ui/byte_text.h"
#include "ui/messages.h"
#include "ui/window_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv::restore {
namespace {

constexpr int kIdRole = Qt::UserRole;

class RestoreWindow : public QWidget {
public:
    explicit RestoreWindow(ui::EditorContext& context) : context_(context) {
        setObjectName(QStringLiteral("restore"));
        setWindowTitle(QString::fromLatin1(kCaption));
        build();
        hid_->setText(context_.currentSlot());
        refresh();
    }

private:
    void build() {
        heading_ = new QLabel(this);
        heading_->setObjectName(QStringLiteral("Label1"));
        heading_->setWordWrap(true);

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setUniformItemSizes(true);
        connect(list_, &QListWidget::currentRowChanged, this, [this] { showFiles(); });

        files_ = new QLabel(this);
        files_->setObjectName(QStringLiteral("Label2"));
        files_->setTextFormat(Qt::PlainText);
        files_->setWordWrap(true);

        restore_ = new QPushButton(QStringLiteral("Restore"), this);
        restore_->setObjectName(QStringLiteral("Command1"));
        connect(restore_, &QPushButton::clicked, this, [this] { apply(); });

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(heading_);
        layout->addWidget(list_, 1);
        layout->addWidget(files_);
        layout->addWidget(restore_, 0, Qt::AlignRight);
        hid_ = ui::hiddenBox(this, QStringLiteral("hid"));
        resize(520, 360);
    }

    std::string slot() const { return hid_->text().toStdString(); }

    // Reads the slot's points afresh; the newest is selected.
    void refresh() {
        heading_->setText(
            QStringLiteral("Changes made to %1, newest first. Restore puts the files of the "
                           "chosen change back as they were before it; the restore itself "
                           "becomes a point of its own, so it can be undone too.")
                .arg(hid_->text()));
        points_.clear();
        list_->clear();
        ui::runReported(this, windowTitle(),
                        [&] { points_ = listPoints(ui::gameFolder(context_), slot()); });
        for (const RestorePoint& point : points_) {
            auto* item =
                new QListWidgetItem(ui::toQt(restoreTimeText(point.time)) + QStringLiteral("   ") +
                                        ui::toQt(point.description),
                                    list_);
            item->setData(kIdRole, QVariant::fromValue(point.id));
        }
        if (list_->count() > 0)
            list_->setCurrentRow(0);
        showFiles();
    }

    void showFiles() {
        const int row = list_->currentRow();
        restore_->setEnabled(row >= 0);
        if (row < 0 || static_cast<std::size_t>(row) >= points_.size()) {
            files_->setText(points_.empty() ? QStringLiteral("No change has been made yet.")
                                            : QString());
            return;
        }
        QStringList names;
        for (const auto& file : points_[static_cast<std::size_t>(row)].files)
            names << ui::toQt(file);
        files_->setText(QStringLiteral("Files: ") + names.join(QStringLiteral(", ")));
    }

    void apply() {
        QListWidgetItem* item = list_->currentItem();
        if (!item)
            return;
        const auto id = item->data(kIdRole).toULongLong();
        if (!laterChangesAccepted(static_cast<std::size_t>(list_->currentRow())))
            return;
        if (ui::runReported(this, windowTitle(),
                            [&] { applyPoint(ui::gameFolder(context_), slot(), id); }))
            refresh();
    }

    // Restoring an older point also undoes what newer ones changed in the same files; the user
    // says whether that is meant.
    bool laterChangesAccepted(std::size_t row) {
        const auto later = laterChangesTo(points_, row);
        if (later.empty())
            return true;
        QString text = QStringLiteral("These later changes touched the same files and will be "
                                      "undone as well:\n");
        for (std::size_t i = 0; i < later.size() && i < 5; ++i)
            text += QStringLiteral("\n") + ui::toQt(later[i]->description);
        if (later.size() > 5)
            text += QStringLiteral("\n... and %1 more").arg(later.size() - 5);
        text += QStringLiteral("\n\nRestore anyway? (The restore can itself be undone.)");
        return ui::askYesNo(this, windowTitle(), text);
    }

    ui::EditorContext& context_;
    QLabel* heading_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* files_ = nullptr;
    QPushButton* restore_ = nullptr;
    QLineEdit* hid_ = nullptr;
    std::vector<RestorePoint> points_;
};

} // namespace

QWidget* createRestoreWindow(ui::EditorContext& context) {
    return new RestoreWindow(context);
}

} // namespace hv::restore
