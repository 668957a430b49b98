// The title holders editor `titles`: the holders of the five singles titles, chosen from
// "Vacant" and the roster or typed.

#include "savegame_windows.h"

#include "ui/byte_text.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/stored_text.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace hv::savegame {
namespace {

class TitlesWindow : public ui::ToolWindow {
public:
    explicit TitlesWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("titles"));
        setWindowTitle(QString());
        build();
        load();
    }

private:
    static QString title() { return QStringLiteral("Titles"); }

    void build() {
        auto* layout = new QVBoxLayout(this);
        layout->setSpacing(2);
        watch_ = new ui::FileWatch(this, [this] { readHolders(); });
        watch_->setEdited([this] {
            return std::ranges::any_of(holders_,
                                       [](const ui::StoredText& h) { return h.edited(); });
        });
        layout->addWidget(watch_->bar());
        for (std::size_t t = 0; t < kTitles; ++t) {
            const QString n = QString::number(t + 1);
            labels_[t] = new QLabel(QStringLiteral("Label") + n, this);
            labels_[t]->setObjectName(QStringLiteral("Label") + n);
            labels_[t]->setAlignment(Qt::AlignHCenter);
            combos_[t] = new QComboBox(this);
            combos_[t]->setObjectName(QStringLiteral("Combo") + n);
            holders_[t].attach(combos_[t], labels_[t]->text());
            labels_[t]->setBuddy(combos_[t]);
            layout->addWidget(labels_[t]);
            layout->addWidget(combos_[t]);
            layout->addSpacing(8);
        }
        apply_ = new QPushButton(QStringLiteral("Apply Changes"), this);
        apply_->setObjectName(QStringLiteral("Command1"));
        connect(apply_, &QPushButton::clicked, this, [this] { applyChanges(); });
        layout->addWidget(apply_);
        layout->addStretch(1);
        keepSlotBox();
        resize(300, 300);
    }

    SaveGameFile save() const { return saveGameFor(context_, slot()); }

    void load() {
        takeSlotFromContext();
        // The roster and the save game are read apart, so that a fault in one still lets
        // the window show what the other holds.
        std::vector<std::string> candidates{"Vacant"};
        ui::runReported(this, title(), [&] { candidates = titleCandidates(save()); });
        for (ui::StoredText& holder : holders_)
            holder.setItems(candidates);
        readHolders();
    }

    // Also the reload after an outside change.
    void readHolders() {
        // Without the file's holders, Apply would write empty ones over them.
        const bool loaded = ui::runReported(this, title(), [&] {
            const SaveGameFile file = save();
            FileState read;
            const Titles titles = readTitles(file, read);
            watch_->track({{file.file, read}});
            for (std::size_t t = 0; t < kTitles; ++t)
                holders_[t].set(titles.holders[t]);
            titled_ = titleNames(titles.federation).has_value();
            if (auto names = titleNames(titles.federation))
                for (std::size_t t = 0; t < kTitles; ++t) {
                    labels_[t]->setText(ui::toQt((*names)[t]));
                    holders_[t].setLabel(labels_[t]->text());
                }
        });
        apply_->setEnabled(loaded);
    }

    // How a question names a title: by its name, or where the federation has none by its
    // place.
    QString caption(std::size_t t) const {
        return titled_ ? labels_[t]->text() : QStringLiteral("Title %1").arg(t + 1);
    }

    // The holders the user changed, each with what its box showed as its base.
    std::vector<FieldEdit> edits() const {
        std::vector<FieldEdit> out;
        for (std::size_t t = 0; t < kTitles; ++t)
            if (holders_[t].edited())
                out.push_back({t, holders_[t].base(), holders_[t].bytes()});
        return out;
    }

    void applyChanges() {
        // Only the holders the user changed are written, merged into the file as it is now.
        if (watch_->writeMerged(
                this, title(), [&] { applyTitleEdits(save(), edits()); },
                [this](const Conflict& c) { holders_[c.line].rebase(c.now); },
                [this](const Conflict& c) { return caption(c.line); }))
            // What was written is what the boxes show: their new bases.
            for (ui::StoredText& holder : holders_)
                holder.rebase(holder.bytes());
    }

    QPushButton* apply_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    std::array<QLabel*, kTitles> labels_{};
    std::array<QComboBox*, kTitles> combos_{};
    std::array<ui::StoredText, kTitles> holders_;
    bool titled_ = false; // the labels name the federation's titles
};

} // namespace

QWidget* createTitlesWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new TitlesWindow(context));
}

} // namespace hv::savegame
