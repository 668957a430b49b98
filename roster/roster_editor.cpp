// The roster editor `save`: shows one wrestler of the own federation in its boxes and writes
// them back, adds a blank wrestler and deletes the selected one.

#include "roster_windows.h"
#include "ui/window_support.h"

#include "ui/byte_text.h"
#include "ui/editor_context.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

struct BoxPlace {
    Line line;
    const char* objectName;
    bool labelled;
};

// The frame's rows, top to bottom; a row of one box spans the frame's width.
const std::vector<std::vector<BoxPlace>>& frameRows() {
    static const std::vector<std::vector<BoxPlace>> rows = {
        {{Line::Name, "Text2", true}},
        {{Line::Draw, "Text3", true},
         {Line::Entertainment, "Text4", true},
         {Line::Wages, "Text5", true}},
        {{Line::Value, "Text6", true},
         {Line::Carder, "Combo1", false},
         {Line::Alignment, "Combo2", false}},
        {{Line::Description, "Text7", true}},
        {{Line::Contract, "Text8", true},
         {Line::Finisher, "Text9", true},
         {Line::FinisherType, "Combo3", true}},
        {{Line::TagTeam, "Text10", true},
         {Line::Injury, "Text11", true},
         {Line::Morale, "Text12", true}},
        {{Line::Stable, "Text13", true},
         {Line::Manager, "Combo4", true},
         {Line::Weapon, "Text15", true}},
        {{Line::Style, "Combo5", true}, {Line::Retirement, "Text14", true}},
    };
    return rows;
}

QStringList comboItems(Line line) {
    switch (line) {
    case Line::Carder:
        return {QStringLiteral("Upper Carder"), QStringLiteral("Middle Carder"),
                QStringLiteral("Lower Carder")};
    case Line::Alignment:
        return {QStringLiteral("Face"), QStringLiteral("Heel")};
    case Line::FinisherType:
        return {QStringLiteral("Power Move"), QStringLiteral("Submission")};
    case Line::Style:
        return {QStringLiteral("Big Man"),           QStringLiteral("Powerful"),
                QStringLiteral("Basic Wrestler"),    QStringLiteral("Hardcore"),
                QStringLiteral("High Flyer"),        QStringLiteral("Old Heavyweight"),
                QStringLiteral("Super Heavyweight"), QStringLiteral("Technical Wrestler"),
                QStringLiteral("Cruiserweight")};
    default:
        return {};
    }
}

class RosterEditor : public QWidget {
public:
    explicit RosterEditor(ui::EditorContext& context) : context_(context) {
        setObjectName(QStringLiteral("save"));
        setWindowTitle(QString::fromLatin1(kEditorCaption));
        build();
        load();
    }

private:
    QString title() const { return windowTitle(); }
    QString label(Line line) const { return ui::toQt(boxLabel(line)); }

    void build() {
        list_ = new ui::FilteredList(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setUniformItemSizes(true);
        list_->setMinimumWidth(200);
        // The boxes show the wrestler picked and stay empty while none is. A click on the one
        // picked shows him again after "Apply Changes" emptied the boxes, and keeps what is
        // typed otherwise.
        connect(list_, &ui::FilteredList::picked, this, [this](QListWidgetItem* item) {
            if (item == nullptr)
                clearBoxes();
            else if (text1_->text() != item->text())
                showWrestler(item);
        });

        auto* add = new QPushButton(QStringLiteral("Add Blank Wrestler"), this);
        add->setObjectName(QStringLiteral("Command2"));
        connect(add, &QPushButton::clicked, this, [this] { addBlank(); });
        auto* remove = new QPushButton(QStringLiteral("Delete Selected Wrestler"), this);
        remove->setObjectName(QStringLiteral("Command3"));
        connect(remove, &QPushButton::clicked, this, [this] { deleteSelected(); });

        auto* left = new QVBoxLayout;
        left->addWidget((new ui::ListFilter(list_))->widget(), 1);
        left->addWidget(add);
        left->addWidget(remove);

        auto* frame = new QGroupBox(this);
        frame->setObjectName(QStringLiteral("Frame1"));
        auto* grid = new QGridLayout(frame);
        grid->setHorizontalSpacing(12);
        grid->setVerticalSpacing(2);
        int row = 0;
        for (const auto& places : frameRows()) {
            const int span = places.size() == 1 ? 3 : 1;
            for (int column = 0; column < static_cast<int>(places.size()); ++column) {
                const BoxPlace& place = places[static_cast<std::size_t>(column)];
                QWidget* box = makeBox(frame, place);
                if (place.labelled) {
                    auto* caption = new QLabel(label(place.line), frame);
                    caption->setBuddy(box);
                    grid->addWidget(caption, row, column, 1, span);
                }
                // Boxes ignore their own width hints so that the three columns come out even.
                box->setSizePolicy(QSizePolicy::Ignored, box->sizePolicy().verticalPolicy());
                box->setMinimumWidth(150);
                grid->addWidget(box, row + 1, column, 1, span);
            }
            if (places.size() == 1 && places.front().line == Line::Description)
                grid->setRowStretch(row + 1, 1);
            grid->setRowMinimumHeight(row + 2, 6);
            row += 3;
        }
        for (int column = 0; column < 3; ++column)
            grid->setColumnStretch(column, 1);

        auto* apply = new QPushButton(QStringLiteral("Apply Changes"), frame);
        apply->setObjectName(QStringLiteral("Command1"));
        connect(apply, &QPushButton::clicked, this, [this] { applyChanges(); });
        grid->addWidget(apply, row, 0, 1, 3);

        text1_ = ui::hiddenBox(this, QStringLiteral("Text1"));
        hid_ = ui::hiddenBox(this, QStringLiteral("hid"));

        watch_ = new ui::FileWatch(this, [this] {
            clearBoxes();
            refillList();
        });
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* layout = new QHBoxLayout;
        outer->addLayout(layout, 1);
        layout->addLayout(left);
        layout->addWidget(frame, 1);
        resize(800, 520);
    }

    QWidget* makeBox(QWidget* frame, const BoxPlace& place) {
        QWidget* box = nullptr;
        if (place.line == Line::Description) {
            auto* text = new QPlainTextEdit(frame);
            text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            text->setTabChangesFocus(true);
            text->setMinimumHeight(60);
            box = text;
        } else if (QString::fromLatin1(place.objectName).startsWith(QStringLiteral("Combo"))) {
            auto* combo = new QComboBox(frame);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            ui::keepOnOneLine(combo->lineEdit());
            box = combo;
        } else {
            auto* text = new QLineEdit(frame);
            ui::keepOnOneLine(text);
            box = text;
        }
        box->setObjectName(QString::fromLatin1(place.objectName));
        boxes_[place.line] = box;
        return box;
    }

    QString boxText(Line line) const {
        QWidget* box = boxes_[line];
        if (auto* text = qobject_cast<QLineEdit*>(box))
            return text->text();
        if (auto* combo = qobject_cast<QComboBox*>(box))
            return combo->currentText();
        return ui::rawText(static_cast<QPlainTextEdit*>(box));
    }

    void setBoxText(Line line, const QString& value) {
        QWidget* box = boxes_[line];
        if (auto* text = qobject_cast<QLineEdit*>(box))
            text->setText(value);
        else if (auto* combo = qobject_cast<QComboBox*>(box))
            combo->setEditText(value);
        else
            static_cast<QPlainTextEdit*>(box)->setPlainText(value);
    }

    RosterFile roster(const QString& slot) const { return rosterFileFor(context_, slot); }

    void load() {
        hid_->setText(context_.currentSlot());
        refillList();
        for (Line line : {Line::Carder, Line::Alignment, Line::FinisherType, Line::Style}) {
            auto* combo = static_cast<QComboBox*>(boxes_[line]);
            combo->addItems(comboItems(line));
            combo->setCurrentIndex(-1);
        }
        loadManagers();
    }

    // "no" always; the managers of the federation's file when it is "WWF" or "WCW".
    void loadManagers() {
        auto* combo = static_cast<QComboBox*>(boxes_[Line::Manager]);
        combo->addItem(QStringLiteral("no"));
        QStringList names;
        ui::runReported(this, title(), [&] {
            names = ui::toQtList(
                federationManagers(ui::gameFolder(context_), context_.currentSlot().toStdString()));
        });
        combo->addItems(names);
        combo->setCurrentIndex(-1);
    }

    void refillList() {
        ui::runReported(this, title(), [&] {
            const RosterFile file = roster(context_.currentSlot());
            ui::refill(list_, ui::toQtList(rosterNames(file)));
            watch_->track({file.file});
        });
    }

    // Runs a change of the roster file unless the user declines to write over a newer one.
    bool write(const std::function<void()>& change) { return watch_->write(this, title(), change); }

    void showWrestler(QListWidgetItem* item) {
        if (item == nullptr)
            return;
        ui::runReported(this, title(), [&] {
            const auto name = ui::fromQtOrRefuse(item->text(), label(Line::Name));
            const auto record = findWrestler(roster(context_.currentSlot()), name);
            if (!record)
                return;
            const WrestlerBoxes boxes = boxesFor(*record);
            for (std::size_t i = 0; i < boxes.size(); ++i)
                setBoxText(static_cast<Line>(i), ui::toQt(boxes[i]));
            text1_->setText(ui::toQt(record->name()));
        });
    }

    void clearBoxes() {
        text1_->clear();
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            setBoxText(static_cast<Line>(i), QString());
    }

    void applyChanges() {
        if (text1_->text().isEmpty()) { // no wrestler shown: nothing to write
            clearBoxes();
            refillList();
            return;
        }
        const bool applied = write([&] {
            WrestlerBoxes values;
            for (std::size_t i = 0; i < values.size(); ++i) {
                const auto line = static_cast<Line>(i);
                values[i] = ui::fromQtOrRefuse(ui::joinLineBreaks(boxText(line)), label(line));
            }
            // The boxes show what is written.
            fillEmptyGroups(values);
            for (Line line : {Line::TagTeam, Line::Stable})
                setBoxText(line, ui::toQt(values[line]));
            const RosterFile file = roster(hid_->text());
            const auto key = ui::fromQtOrRefuse(text1_->text(), label(Line::Name));
            if (ApplyWrestler(file, key, values) == 0)
                throw GameFileError(file.file, "there is no wrestler named \"" + key +
                                                   "\" any more; nothing was written");
        });
        if (!applied && watch_->stale())
            return; // declined: the typed values stay, and the bar offers a reload
        if (applied)
            clearBoxes();
        refillList();
        if (!applied) // the boxes keep what was typed, to be corrected: he stays the one picked
            ui::selectFirst(list_, text1_->text());
    }

    void addBlank() {
        if (write([&] { addBlankWrestler(roster(hid_->text())); })) {
            clearBoxes(); // nobody is picked in the refilled list
            refillList();
        }
    }

    void deleteSelected() {
        const auto selected = list_->selectedItems();
        if (selected.isEmpty())
            return;
        const QString name = selected.first()->text();
        if (write([&] {
                deleteWrestler(roster(context_.currentSlot()),
                               ui::fromQtOrRefuse(name, label(Line::Name)));
            })) {
            clearBoxes();
            refillList();
        }
    }

    ui::EditorContext& context_;
    ui::FilteredList* list_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* hid_ = nullptr;
    std::array<QWidget*, WrestlerRecord::kLines> boxes_{};
};

} // namespace

QWidget* createRosterEditor(ui::EditorContext& context) {
    return new RosterEditor(context);
}

} // namespace hv::roster
