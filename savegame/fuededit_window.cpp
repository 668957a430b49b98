// The feud editor `fuededit`: the five feuds' texts and levels. A click on a feud's text asks
// whether to delete it; nothing is written before "Apply Change".

#include "savegame_windows.h"

#include "gamefiles/text.h"
#include "ui/byte_text.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/tool_window.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <array>

namespace hv::savegame {
namespace {

class FeudWindow : public ui::ToolWindow {
public:
    explicit FeudWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("fuededit"));
        setWindowTitle(QString());
        build();
        load();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            for (std::size_t f = 0; f < kFeuds; ++f)
                if (watched == labels_[f]) {
                    askToDelete(f);
                    return true;
                }
        return QWidget::eventFilter(watched, event);
    }

private:
    static QString title() { return QStringLiteral("Fued Editor"); }

    void build() {
        auto* layout = new QVBoxLayout(this);
        layout->setSpacing(4);
        watch_ = new ui::FileWatch(this, [this] { load(); });
        watch_->setEdited([this] { return !edits(false).empty(); });
        layout->addWidget(watch_->bar());
        for (std::size_t f = 0; f < kFeuds; ++f) {
            const QString n = QString::number(f + 1);
            labels_[f] = new QLabel(QStringLiteral("Label") + n, this);
            labels_[f]->setObjectName(QStringLiteral("Label") + n);
            labels_[f]->setTextFormat(Qt::PlainText);
            labels_[f]->setAlignment(Qt::AlignHCenter);
            labels_[f]->setWordWrap(true);
            // An empty feud keeps its row, so the scroll bars stay evenly spaced.
            labels_[f]->setMinimumHeight(labels_[f]->fontMetrics().height());
            labels_[f]->setCursor(Qt::PointingHandCursor);
            labels_[f]->installEventFilter(this);
            bars_[f] = new QScrollBar(Qt::Horizontal, this);
            bars_[f]->setObjectName(QStringLiteral("HScroll") + n);
            bars_[f]->setRange(kMinLevel, kMaxLevel);
            bars_[f]->setSingleStep(1); // an arrow
            bars_[f]->setPageStep(1);   // a click in the track
            bars_[f]->setValue(kMinLevel);
            layout->addWidget(labels_[f]);
            layout->addWidget(bars_[f]);
            layout->addSpacing(8);
        }
        // Says which stored levels the scroll bars could not show as they are.
        note_ = new QLabel(this);
        note_->setObjectName(QStringLiteral("Note"));
        note_->setTextFormat(Qt::PlainText);
        note_->setWordWrap(true);
        note_->hide();
        layout->addWidget(note_);

        apply_ = new QPushButton(QStringLiteral("Apply Change"), this);
        apply_->setObjectName(QStringLiteral("Command1"));
        connect(apply_, &QPushButton::clicked, this, [this] { applyChange(); });
        layout->addWidget(apply_);
        layout->addStretch(1);
        resize(420, 300);
    }

    SaveGameFile save() const { return saveGameFor(context_, slot()); }

    void load() {
        // Without the file's feuds, Apply would write the design captions over them.
        const bool loaded = ui::runReported(this, title(), [&] {
            const SaveGameFile file = save();
            FileState state;
            const Feuds feuds = readFeuds(file, state);
            read_ = feuds;
            watch_->track({{file.file, state}});
            note_->hide(); // a reload may have mended what the note told
            QStringList notes;
            for (std::size_t f = 0; f < kFeuds; ++f) {
                labels_[f]->setText(ui::toQt(feuds[f].text));
                deleted_[f] = false;
                bars_[f]->setValue(feuds[f].level);
                if (!feuds[f].levelValid)
                    notes.append(ui::toQt(levelNote(f, feuds[f])));
            }
            if (!notes.isEmpty()) {
                notes.append(QStringLiteral("Nothing is written before \"Apply Change\"."));
                note_->setText(notes.join(QLatin1Char('\n')));
                note_->show();
                // The window grows by the note, so that the rows above keep their place.
                const QMargins margins = layout()->contentsMargins();
                resize(width(),
                       height() + layout()->spacing() +
                           note_->heightForWidth(width() - margins.left() - margins.right()));
            }
        });
        for (std::size_t f = 0; f < kFeuds; ++f)
            bars_[f]->setEnabled(loaded && !labels_[f]->text().isEmpty());
        apply_->setEnabled(loaded);
    }

    void askToDelete(std::size_t f) {
        const QString text =
            QStringLiteral("Do you want to delete ") + labels_[f]->text() + QStringLiteral("?");
        if (!ui::askYesNo(this, QStringLiteral("Delete Fued?"), text))
            return;
        labels_[f]->clear();
        deleted_[f] = true;
        bars_[f]->setValue(kMinLevel);
        bars_[f]->setEnabled(false);
    }

    // The deletions and the levels moved, each with the line read as its base. With `mended`,
    // also a stored level the scroll bar could not show, written as the level it shows.
    std::vector<FieldEdit> edits(bool mended = true) const {
        std::vector<FieldEdit> out;
        for (std::size_t f = 0; f < kFeuds; ++f) {
            if (deleted_[f])
                out.push_back({feudTextLine(f), read_[f].storedText, std::string()});
            const int level = bars_[f]->value();
            if (level != read_[f].level || (mended && !read_[f].levelValid))
                out.push_back({feudLevelLine(f), read_[f].storedLevel, numberLine(level)});
        }
        return out;
    }

    // Takes `value` as the base of the line, read or written.
    void rebase(std::size_t line, const std::string& value) {
        for (std::size_t f = 0; f < kFeuds; ++f)
            if (line == feudTextLine(f)) {
                read_[f].storedText = value;
            } else if (line == feudLevelLine(f)) {
                read_[f].storedLevel = value;
                const auto level = parseNumber(value);
                read_[f].levelValid = level && *level >= kMinLevel && *level <= kMaxLevel;
                if (read_[f].levelValid)
                    read_[f].level = static_cast<int>(*level);
            }
    }

    void applyChange() {
        // Only what the user changed is written, merged into the file as it is now.
        std::vector<FieldEdit> written;
        if (watch_->writeMerged(
                this, title(),
                [&] {
                    written = edits();
                    applyFeudEdits(save(), written);
                },
                [this](const Conflict& c) { rebase(c.line, c.now); }))
            for (const FieldEdit& edit : written)
                rebase(edit.line, edit.value);
    }

    std::array<QLabel*, kFeuds> labels_{};
    std::array<QScrollBar*, kFeuds> bars_{};
    std::array<bool, kFeuds> deleted_{}; // asked to delete since the feuds were read
    Feuds read_;                         // as read: the bases of the edits
    QLabel* note_ = nullptr;
    QPushButton* apply_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
};

} // namespace

QWidget* createFeudWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new FeudWindow(context));
}

} // namespace hv::savegame
