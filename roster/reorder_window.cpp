// The reordering window `reorder`: moves the selected wrestler one place up or down in the
// roster file.

#include "roster_windows.h"
#include "window_support.h"

#include "app/byte_text.h"
#include "app/editor_context.h"
#include "app/messages.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv::roster {
namespace {

class ReorderWindow : public QWidget {
public:
    explicit ReorderWindow(hv::ui::EditorContext& context) : context_(context) {
        setObjectName(QStringLiteral("reorder"));
        setWindowTitle(QStringLiteral("Re Order your Roster"));

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setUniformItemSizes(true);
        auto* up = new QPushButton(QStringLiteral("Up"), this);
        up->setObjectName(QStringLiteral("Command1"));
        connect(up, &QPushButton::clicked, this, [this] { move(Direction::Up); });
        auto* down = new QPushButton(QStringLiteral("Down"), this);
        down->setObjectName(QStringLiteral("Command2"));
        connect(down, &QPushButton::clicked, this, [this] { move(Direction::Down); });
        text1_ = hiddenBox(this, QStringLiteral("Text1"));
        text2_ = hiddenBox(this, QStringLiteral("Text2"));

        auto* buttons = new QVBoxLayout;
        buttons->addWidget(up);
        buttons->addWidget(down);
        buttons->addStretch(1);
        auto* layout = new QHBoxLayout(this);
        layout->addWidget(list_, 1);
        layout->addLayout(buttons);
        resize(360, 420);

        load();
    }

private:
    void load() {
        hv::ui::runReported(this, windowTitle(), [&] {
            const auto listing = listRoster(rosterFileFor(context_, context_.currentSlot()));
            refill(list_, toQtList(listing.names));
            if (listing.reorderSelection)
                selectFirst(list_, hv::ui::toQt(*listing.reorderSelection));
            // Only a record of the load; moves count the file afresh.
            text2_->setText(QString::number(listing.records));
        });
    }

    void move(Direction direction) {
        const auto selected = list_->selectedItems();
        if (selected.isEmpty())
            return;
        text1_->setText(selected.first()->text());
        hv::ui::runReported(this, windowTitle(), [&] {
            // The slot is the main window's at the time of the move.
            const RosterFile roster = rosterFileFor(context_, context_.currentSlot());
            const auto name = hv::ui::fromQtOrRefuse(text1_->text(), QStringLiteral("Name"));
            if (moveWrestler(roster, name, direction) != MoveResult::Moved)
                return;
            refill(list_, toQtList(rosterNames(roster)));
            selectFirst(list_, text1_->text());
        });
    }

    hv::ui::EditorContext& context_;
    QListWidget* list_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
};

} // namespace

QWidget* createReorderWindow(hv::ui::EditorContext& context) {
    return new ReorderWindow(context);
}

} // namespace hv::roster
