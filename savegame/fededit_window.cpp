// The federation settings editor `fededit`: the slot's name, the commissioner, the date and
// the bank account. It keeps the slot it was loaded with in its own `hid`.

#include "savegame_windows.h"

#include "gamefiles/game_folder.h"
#include "ui/byte_text.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/stored_text.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace hv::savegame {
namespace {

struct Place {
    Setting setting;
    const char* box;
    const char* label;
    const char* caption;
    int row;
    int column; // 0 or 1; a lone box in its row spans both columns
};

// Rows top to bottom, each label above its box.
constexpr Place kPlaces[kSettings] = {
    {Setting::SlotName, "Text1", "Label3", "Save file name", 0, 0},
    {Setting::Commissioner, "Text2", "Label2", "Commish's name", 1, 0},
    {Setting::Weekday, "Combo1", "Label5", "Day of week", 2, 0},
    {Setting::Day, "Combo2", "Label6", "Day of month", 3, 0},
    {Setting::Month, "Combo3", "Label7", "Month", 3, 1},
    {Setting::Year, "Text3", "Label4", "Year", 4, 0},
    {Setting::Bank, "Text4", "Label1", "Fed's bank account $", 4, 1},
};

class FedEditWindow : public ui::ToolWindow {
public:
    explicit FedEditWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("fededit"));
        setWindowTitle(QStringLiteral("Form1"));
        build();
        load();
    }

private:
    static QString caption(Setting s) {
        return QString::fromLatin1(kPlaces[static_cast<std::size_t>(s)].caption);
    }

    void build() {
        watch_ = new ui::FileWatch(this, [this] { readValues(); });
        watch_->setEdited([this] {
            return std::ranges::any_of(boxes_, [](const ui::StoredText& b) { return b.edited(); });
        });
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* grid = new QGridLayout;
        outer->addLayout(grid, 1);
        grid->setVerticalSpacing(2);
        grid->setHorizontalSpacing(12);
        for (const Place& place : kPlaces) {
            const bool combo = place.box[0] == 'C';
            QWidget* box = nullptr;
            ui::StoredText& stored = boxes_[static_cast<std::size_t>(place.setting)];
            if (combo) {
                auto* c = new QComboBox(this);
                stored.attach(c, caption(place.setting));
                box = c;
            } else {
                auto* t = new QLineEdit(this);
                stored.attach(t, caption(place.setting));
                box = t;
            }
            box->setObjectName(QString::fromLatin1(place.box));
            auto* label = new QLabel(QString::fromLatin1(place.caption), this);
            label->setObjectName(QString::fromLatin1(place.label));
            label->setBuddy(box);
            const bool alone = place.row < 3;
            const int span = alone && place.setting != Setting::Weekday ? 2 : 1;
            grid->addWidget(label, place.row * 2, place.column, 1, span);
            grid->addWidget(box, place.row * 2 + 1, place.column, 1, span);
            grid->setRowMinimumHeight(place.row * 2, 18);
        }
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(1, 1);
        grid->setRowMinimumHeight(10, 8);

        apply_ = new QPushButton(QStringLiteral("Apply Changes"), this);
        apply_->setObjectName(QStringLiteral("Command1"));
        connect(apply_, &QPushButton::clicked, this, [this] { applyChanges(); });
        grid->addWidget(apply_, 11, 0, 1, 2);
        grid->setRowStretch(12, 1);

        keepSlotBox();
        resize(360, 270);
    }

    // Also the reload after an outside change.
    bool readValues() {
        // Without the file's values, Apply would write empty ones over them.
        const bool loaded = ui::runReported(this, windowTitle(), [&] {
            const SaveGameFile save = saveGameFor(context_, slot());
            std::array<FileState, 2> read;
            const Settings settings = readSettings(save, read);
            for (std::size_t s = 0; s < kSettings; ++s)
                boxes_[s].set(settings[s]);
            watch_->track({{save.file, read[0]}, {saveSlotNamesPath(save.gameFolder), read[1]}});
        });
        apply_->setEnabled(loaded);
        return loaded;
    }

    void load() {
        takeSlotFromContext();
        const bool loaded = readValues();
        // The lists come after the texts, so a text that is none of the items stays shown.
        for (Setting s : {Setting::Weekday, Setting::Day, Setting::Month}) {
            const auto choices = settingChoices(s);
            boxes_[static_cast<std::size_t>(s)].setItems({choices.begin(), choices.end()});
        }
        apply_->setEnabled(loaded);
    }

    // The boxes the user changed, each with what it showed as its base.
    std::vector<FieldEdit> edits() const {
        std::vector<FieldEdit> out;
        for (std::size_t s = 0; s < kSettings; ++s)
            if (boxes_[s].edited())
                out.push_back({s, boxes_[s].base(), boxes_[s].bytes()});
        return out;
    }

    void applyChanges() {
        // Only the boxes the user changed are written, merged into the files as they are now.
        const bool applied = watch_->writeMerged(
            this, windowTitle(), [&] { applySettingEdits(saveGameFor(context_, slot()), edits()); },
            [this](const Conflict& c) { boxes_[c.line].rebase(c.now); });
        if (!applied)
            return;
        for (ui::StoredText& box : boxes_) // what was written: the new bases
            box.rebase(box.bytes());
        // The main window starts afresh with the new slot names; this window stays, on top,
        // still editing its own slot.
        context_.reloadMainWindow();
        show();
        raise();
        activateWindow();
    }

    QPushButton* apply_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    std::array<ui::StoredText, kSettings> boxes_;
};

} // namespace

QWidget* createFedEditWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new FedEditWindow(context));
}

} // namespace hv::savegame
