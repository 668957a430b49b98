// The injuries window `doctor`: lists the injured wrestlers, shows how long one is out, and
// heals them all.

#include "roster_windows.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include "ui/byte_text.h"
#include "ui/editor_context.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
#include "ui/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv::roster {
namespace {

const QString kUnknownWeeks = QStringLiteral("Out for ???");

class InjuriesWindow : public ui::ToolWindow {
public:
    explicit InjuriesWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("doctor"));
        setWindowTitle(QString());

        list_ = new ui::FilteredList(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Wrestlers"));
        list_->setUniformItemSizes(true);
        connect(list_, &ui::FilteredList::picked, this, [this](int row) { showWeeks(row); });
        label_ = new QLabel(kUnknownWeeks, this);
        label_->setObjectName(QStringLiteral("Label1"));
        auto* heal = new QPushButton(QStringLiteral("Fix Them all"), this);
        heal->setObjectName(QStringLiteral("Command1"));
        connect(heal, &QPushButton::clicked, this, [this] { healAndClose(); });
        keepSlotBox();
        watch_ = new ui::FileWatch(this, [this] { load(); });

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(watch_->bar());
        layout->addWidget((new ui::ListFilter(list_))->widget(), 1);
        layout->addWidget(label_);
        layout->addWidget(heal);
        resize(280, 360);

        takeSlotFromContext();
        load();
    }

private:
    static QString title() { return QStringLiteral("Injuries"); }
    RosterFile roster() const { return rosterFileFor(context_, slot()); }

    // Also the reload after an outside change, which keeps the slot the window was opened on.
    void load() {
        ui::runReported(this, title(), [&] {
            const RosterFile file = roster();
            const auto injured = injuredWrestlers(file);
            QStringList names;
            names.reserve(static_cast<qsizetype>(injured.size()));
            for (const auto& injury : injured)
                names.append(ui::toQt(injury.name));
            ui::refill(list_, names);
            label_->setText(kUnknownWeeks); // nobody is picked in the refilled list
            watch_->track({file.file});
        });
    }

    void showWeeks(int row) {
        if (row < 0) {
            label_->setText(kUnknownWeeks);
            return;
        }
        ui::runReported(this, title(), [&] {
            const auto name = ui::fromQtOrRefuse(list_->text(row), QStringLiteral("Name"));
            const auto record = findWrestler(roster(), name);
            // A wrestler removed in another window since the list was filled: weeks unknown.
            label_->setText(record ? QStringLiteral("Out for ") +
                                         ui::toQt(record->lines[WrestlerRecord::Injury]) +
                                         QStringLiteral(" week(s)")
                                   : kUnknownWeeks);
        });
    }

    void healAndClose() {
        if (watch_->writeFresh(this, title(), [&] { healAll(roster()); }))
            close();
    }

    ui::FilteredList* list_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    QLabel* label_ = nullptr;
};

} // namespace

QWidget* createInjuriesWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new InjuriesWindow(context));
}

} // namespace hv::roster
