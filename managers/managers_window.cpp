// The managers window `mansave`: lists the managers of the slot's big federation, shows one,
// and adds, changes and deletes them.

#include "managers_window.h"

#include "managers_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/managers.h"
#include "ui/byte_text.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
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

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace hv::managers {
namespace {

// A sex code as the box shows it.
std::string sexWord(const std::string& code) {
    return kManagerFields[ManagerRecord::Sex].shown(code);
}

class ManagersWindow : public ui::ToolWindow {
public:
    explicit ManagersWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("mansave"));
        setWindowTitle(QStringLiteral("Managers"));
        build();
        load();
    }

private:
    void build() {
        list_ = new ui::FilteredList(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Managers"));
        list_->setUniformItemSizes(true);
        // The boxes show the manager picked, from the file, a click on the one shown again
        // included. A filter that hides him, or a deselecting click, picks nobody else: he
        // stays shown with what was typed, and Apply applies to him.
        connect(list_, &ui::FilteredList::picked, this, [this](int row) {
            if (row >= 0)
                showManager(list_->text(row));
        });

        auto* nameLabel = new QLabel(QStringLiteral("Name"), this);
        nameLabel->setObjectName(QStringLiteral("Label1"));
        text2_ = new QLineEdit(this);
        text2_->setObjectName(QStringLiteral("Text2"));
        name_.attach(text2_, QStringLiteral("Name"));
        nameLabel->setBuddy(text2_);
        auto* sexLabel = new QLabel(QStringLiteral("Sex"), this);
        sexLabel->setObjectName(QStringLiteral("Label2"));
        combo_ = new QComboBox(this);
        combo_->setObjectName(QStringLiteral("Combo1"));
        sex_.attach(combo_, QStringLiteral("Sex"));
        sex_.setChoices(kManagerFields[ManagerRecord::Sex]);
        sexLabel->setBuddy(combo_);

        const std::array<std::pair<const char*, const char*>, 3> buttons = {{
            {"Command1", "Add Manager"},
            {"Command2", "Apply Changes"},
            {"Command3", "Delete Manager"},
        }};
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            buttons_[i] = new QPushButton(QString::fromLatin1(buttons[i].second), this);
            buttons_[i]->setObjectName(QString::fromLatin1(buttons[i].first));
        }
        watch_ = new ui::FileWatch(this, [this] {
            clearBoxes();
            refillList();
        });
        watch_->setEdited([this] { return key_ && (name_.edited() || sex_.edited()); });
        connect(buttons_[0], &QPushButton::clicked, this, [this] { add(); });
        connect(buttons_[1], &QPushButton::clicked, this, [this] { apply(); });
        connect(buttons_[2], &QPushButton::clicked, this, [this] { remove(); });

        // Says why the list is empty when the federation has no managers file.
        note_ = new QLabel(this);
        note_->setObjectName(QStringLiteral("Note"));
        note_->setTextFormat(Qt::PlainText);
        note_->setWordWrap(true);
        note_->hide();

        auto* right = new QVBoxLayout;
        right->setSpacing(2);
        right->addWidget(nameLabel);
        right->addWidget(text2_);
        right->addSpacing(6);
        right->addWidget(sexLabel);
        right->addWidget(combo_);
        right->addSpacing(12);
        for (QPushButton* button : buttons_)
            right->addWidget(button);
        right->addStretch(1);

        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* grid = new QGridLayout;
        outer->addLayout(grid, 1);
        auto* filter = new ui::ListFilter(list_);
        grid->addWidget(filter->widget(), 0, 0);
        grid->addLayout(right, 0, 1);
        grid->addWidget(note_, 1, 0, 1, 2);
        grid->setColumnStretch(0, 1);

        text1_ = ui::hiddenBox(this, QStringLiteral("Text1"));
        keepSlotBox();
        resize(380, 280);
        // Keys go to the filter and the list first; the boxes take input only while a manager
        // is shown, so nothing typed is dropped.
        setFocusProxy(filter->box());
        filter->box()->setFocus();
        setBoxesEnabled(false);
    }

    QString title() const { return windowTitle(); }

    // The managers file, chosen afresh from the save game as every event does.
    ManagersPlace place() const { return ManagersPlace(ui::gameFolder(context_), slotName()); }

    void load() {
        takeSlotFromContext();
        ui::runReported(this, title(), [&] {
            const ManagersPlace where = place();
            if (!where.file) {
                note_->setText(ui::toQt(where.noFileReason()));
                note_->show();
                for (QPushButton* button : buttons_)
                    button->setEnabled(false);
                return;
            }
            FileState read;
            ui::refill(list_, ui::toQtList(listManagers(where, read)));
            watch_->track({{*where.file, read}});
        });
    }

    void refillList() {
        ui::runReported(this, title(), [&] {
            const ManagersPlace where = place();
            FileState read;
            ui::refill(list_, ui::toQtList(listManagers(where, read)));
            watch_->track({{where.required(), read}});
        });
    }

    void setBoxesEnabled(bool enabled) {
        text2_->setEnabled(enabled);
        combo_->setEnabled(enabled);
        buttons_[1]->setEnabled(enabled && note_->isHidden());
    }

    // The boxes the user changed, as edits of what he was shown: the sex only as "male" or
    // "female", any other text keeping the record's code.
    std::vector<FieldEdit> edits() const {
        std::vector<FieldEdit> out;
        if (!key_)
            return out;
        if (name_.edited())
            out.push_back({kNameField, *key_, name_.bytes()});
        if (sex_.edited())
            if (auto code = kManagerFields[ManagerRecord::Sex].code(sex_.bytes()))
                out.push_back({kSexField, code_, std::move(*code)});
        return out;
    }

    bool writeFresh(const std::function<void()>& change) {
        return watch_->writeFresh(this, title(), change);
    }

    void clearBoxes() {
        text1_->clear();
        key_.reset();
        code_.clear();
        name_.clear();
        sex_.clear();
        setBoxesEnabled(false);
    }

    void showManager(const QString& shown) {
        if (shown.isEmpty())
            return;
        ui::runReported(this, title(), [&] {
            const auto name = ui::fromQtOrRefuse(shown, QStringLiteral("Name"));
            const auto manager = findManager(place(), name);
            if (!manager)
                return;
            key_ = manager->name;
            code_ = manager->code;
            setBoxesEnabled(true);
            text1_->setText(ui::toQt(manager->name));
            name_.set(manager->name);
            // Any other code leaves the box as it was.
            if (const Choice* c = kManagerFields[ManagerRecord::Sex].storedChoice(manager->code))
                sex_.set(c->words);
        });
    }

    void add() {
        if (!writeFresh([&] { addManager(place()); }))
            return;
        refillList();
        clearBoxes(); // nobody is picked in the refilled list
    }

    void apply() {
        if (!key_) { // no manager shown: nothing to change
            clearBoxes();
            refillList();
            return;
        }
        // Only the boxes the user changed are written, merged into the file as it is now. An
        // unchanged name is no new name: as read it may hold what a new one may not (a comma,
        // from a quoted "Smith, John").
        const bool applied = watch_->writeMerged(
            this, title(),
            [&] {
                const ManagersPlace where = place();
                if (changeManagers(where, *key_, edits()) == 0)
                    refuseChange(where.required(),
                                 "there is no manager named \"" + *key_ + "\" any more");
            },
            [this](const Conflict& c) {
                if (c.line == kNameField)
                    name_.rebase(c.now);
                else {
                    code_ = c.now;
                    sex_.rebase(sexWord(c.now));
                }
            },
            {},
            [](const Conflict& c, const std::string& bytes) {
                return ui::toQt(c.line == kSexField ? sexWord(bytes) : bytes);
            });
        if (!applied)
            return; // the boxes keep what was typed, to be corrected
        refillList();
        clearBoxes();
    }

    void remove() {
        const auto selected = list_->selectedText();
        if (!selected)
            return;
        const QString name = *selected;
        if (!writeFresh(
                [&] { deleteManagers(place(), ui::fromQtOrRefuse(name, QStringLiteral("Name"))); }))
            return;
        refillList();
        clearBoxes();
    }

    ui::FilteredList* list_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QComboBox* combo_ = nullptr;
    ui::StoredText name_;
    ui::StoredText sex_;
    std::optional<std::string> key_; // the name of the manager shown, as the game reads it
    std::string code_;               // his sex code as read: the base of a sex edit
    QLabel* note_ = nullptr;
    std::array<QPushButton*, 3> buttons_{};
};

} // namespace

QWidget* createManagersWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new ManagersWindow(context));
}

} // namespace hv::managers
