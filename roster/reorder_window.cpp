// The reordering window `reorder`: moves the selected wrestler one place up or down in the
// roster file.

#include "roster_windows.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include "ui/byte_text.h"
#include "ui/editor_context.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv::roster {
namespace {

class ReorderWindow : public ui::ToolWindow {
public:
    explicit ReorderWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("reorder"));
        setWindowTitle(QString::fromLatin1(kReorderCaption));

        list_ = new ui::FilteredList(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Wrestlers"));
        list_->setUniformItemSizes(true);
        auto* filter = new ui::ListFilter(list_);
        auto* up = new QPushButton(QStringLiteral("Up"), this);
        up->setObjectName(QStringLiteral("Command1"));
        connect(up, &QPushButton::clicked, this, [this] { move(Direction::Up); });
        auto* down = new QPushButton(QStringLiteral("Down"), this);
        down->setObjectName(QStringLiteral("Command2"));
        connect(down, &QPushButton::clicked, this, [this] { move(Direction::Down); });
        text1_ = ui::hiddenBox(this, QStringLiteral("Text1"));
        text2_ = ui::hiddenBox(this, QStringLiteral("Text2"));
        // A move swaps neighbours in the file, which a filtered list does not show.
        connect(filter, &ui::ListFilter::changed, this, [up, down, filter] {
            up->setEnabled(!filter->hidesRows());
            down->setEnabled(!filter->hidesRows());
        });
        watch_ = new ui::FileWatch(this, [this] { load(); });
        // The window shows the main window's slot: a change of it refills the list, so a move
        // always swaps wrestlers of the list shown.
        context_.followMainWindow(this, [this] { load(); });

        auto* buttons = new QVBoxLayout;
        buttons->addWidget(up);
        buttons->addWidget(down);
        buttons->addStretch(1);
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* layout = new QHBoxLayout;
        outer->addLayout(layout, 1);
        layout->addWidget(filter->widget(), 1);
        layout->addLayout(buttons);
        resize(360, 420);

        load();
    }

private:
    void load() {
        takeSlotFromContext();
        // A list that cannot be read again is not left showing another slot's wrestlers.
        ui::refill(list_, {});
        ui::runReported(this, windowTitle(), [&] {
            const RosterFile roster = rosterFileFor(context_, slot());
            const auto listing = listRoster(roster);
            ui::refill(list_, ui::toQtList(listing.names));
            if (listing.reorderSelection)
                ui::selectFirst(list_, ui::toQt(*listing.reorderSelection));
            // Only a record of the load; moves count the file afresh.
            text2_->setText(QString::number(listing.records));
            watch_->track({roster.file});
        });
    }

    void move(Direction direction) {
        const auto selected = list_->selectedText();
        if (!selected)
            return;
        const QString picked = *selected;
        text1_->setText(picked);
        if (!watch_->confirmWrite(windowTitle()))
            return;
        takeSlotFromContext(); // the main window's slot, as the list shows it
        ui::runReported(this, windowTitle(), [&] {
            const RosterFile roster = rosterFileFor(context_, slot());
            const auto name = ui::fromQtOrRefuse(picked, QStringLiteral("Name"));
            if (moveWrestler(roster, name, direction) != MoveResult::Moved)
                return;
            watch_->noteWritten();
            ui::refill(list_, ui::toQtList(rosterNames(roster)));
            watch_->track({roster.file});
            ui::selectFirst(list_, picked);
        });
    }

    ui::FilteredList* list_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
};

} // namespace

QWidget* createReorderWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new ReorderWindow(context));
}

} // namespace hv::roster
