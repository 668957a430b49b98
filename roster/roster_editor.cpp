// The roster editor `save`: shows one wrestler of the own federation in its boxes and writes
// them back, adds a blank wrestler and deletes the selected one.

#include "roster_windows.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include "ui/byte_text.h"
#include "ui/editor_context.h"
#include "ui/file_path.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
#include "ui/messages.h"
#include "ui/stored_text.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <functional>
#include <optional>
#include <string>

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

} // namespace

QStringList comboItems(Line line) {
    QStringList items;
    for (const Choice& c : kWrestlerFields[line].choices)
        items.append(QString::fromLatin1(c.words.data(), static_cast<qsizetype>(c.words.size())));
    return items;
}

namespace {

class RosterEditor : public ui::ToolWindow {
public:
    explicit RosterEditor(ui::EditorContext& context) : ToolWindow(context) {
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
        list_->setAccessibleName(QStringLiteral("Wrestlers"));
        list_->setUniformItemSizes(true);
        list_->setMinimumWidth(200);
        // The boxes show the wrestler picked, from the file, a click on the one shown again
        // included. A filter that hides him, or a deselecting click, picks nobody else: he
        // stays shown with what was typed, and Apply applies to him.
        connect(list_, &ui::FilteredList::picked, this, [this](int row) {
            if (row >= 0)
                showWrestler(list_->text(row));
        });

        auto* add = new QPushButton(QStringLiteral("Add Blank Wrestler"), this);
        add->setObjectName(QStringLiteral("Command2"));
        connect(add, &QPushButton::clicked, this, [this] { addBlank(); });
        auto* remove = new QPushButton(QStringLiteral("Delete Selected Wrestler"), this);
        remove->setObjectName(QStringLiteral("Command3"));
        connect(remove, &QPushButton::clicked, this, [this] { deleteSelected(); });

        auto* exportCsv = new QPushButton(QStringLiteral("Export CSV..."), this);
        exportCsv->setObjectName(QStringLiteral("exportCsv"));
        connect(exportCsv, &QPushButton::clicked, this, [this] { exportToCsv(); });
        auto* importCsv = new QPushButton(QStringLiteral("Import CSV..."), this);
        importCsv->setObjectName(QStringLiteral("importCsv"));
        connect(importCsv, &QPushButton::clicked, this, [this] { importFromCsv(); });

        auto* left = new QVBoxLayout;
        auto* filter = new ui::ListFilter(list_);
        filter_ = filter->box();
        left->addWidget(filter->widget(), 1);
        left->addWidget(add);
        left->addWidget(remove);
        auto* csv = new QHBoxLayout;
        csv->addWidget(exportCsv);
        csv->addWidget(importCsv);
        left->addLayout(csv);

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
                } else {
                    box->setAccessibleName(label(place.line));
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
        frame_ = frame;
        // Text typed with nobody shown would go nowhere: the boxes take it only while one is.
        frame_->setEnabled(false);

        text1_ = ui::hiddenBox(this, QStringLiteral("Text1"));
        keepSlotBox();

        watch_ = new ui::FileWatch(this, [this] {
            clearBoxes();
            refillList();
        });
        watch_->setEdited([this] {
            for (std::size_t i = 0; i < shown_.size(); ++i)
                if (key_ && boxEdited(static_cast<Line>(i)))
                    return true;
            return false;
        });
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* layout = new QHBoxLayout;
        outer->addLayout(layout, 1);
        layout->addLayout(left);
        layout->addWidget(frame, 1);
        resize(800, 520);
        // The first Tab stop is the filter, so that keys reach the list, not "Add".
        setFocusProxy(filter_);
        filter_->setFocus();
    }

    QWidget* makeBox(QWidget* frame, const BoxPlace& place) {
        QWidget* box = nullptr;
        if (place.line == Line::Description) {
            auto* text = new QPlainTextEdit(frame);
            text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            text->setTabChangesFocus(true);
            text->setMinimumHeight(60);
            stored_[place.line].attach(text, label(place.line));
            box = text;
        } else if (QString::fromLatin1(place.objectName).startsWith(QStringLiteral("Combo"))) {
            auto* combo = new QComboBox(frame);
            stored_[place.line].attach(combo, label(place.line));
            box = combo;
        } else {
            auto* text = new QLineEdit(frame);
            stored_[place.line].attach(text, label(place.line));
            box = text;
        }
        box->setObjectName(QString::fromLatin1(place.objectName));
        boxes_[place.line] = box;
        return box;
    }

    // What a box holds: the bytes it was filled with unless the user changed it.
    std::string boxBytes(Line line) const { return stored_[line].bytes(); }

    void setBox(Line line, std::string_view bytes) { stored_[line].set(bytes); }

    RosterFile roster() const { return rosterFileFor(context_, slot()); }

    void load() {
        takeSlotFromContext();
        refillList();
        for (Line line : {Line::Carder, Line::Alignment, Line::FinisherType, Line::Style})
            stored_[line].setChoices(kWrestlerFields[line]);
        loadManagers();
    }

    // "no" always; the managers of the federation's file when it is "WWF" or "WCW".
    void loadManagers() {
        std::vector<std::string> names{"no"};
        ui::runReported(this, title(), [&] {
            for (auto& name : federationManagers(ui::gameFolder(context_), slotName()))
                names.push_back(std::move(name));
        });
        stored_[Line::Manager].setItems(names);
    }

    void refillList() {
        ui::runReported(this, title(), [&] {
            const RosterFile file = roster();
            FileState read;
            ui::refill(list_, ui::toQtList(rosterNames(file, read)));
            watch_->track({{file.file, read}});
        });
    }

    bool writeFresh(const std::function<void()>& change) {
        return watch_->writeFresh(this, title(), change);
    }

    void showWrestler(const QString& shown) {
        ui::runReported(this, title(), [&] {
            const auto name = ui::fromQtOrRefuse(shown, label(Line::Name));
            const auto record = findWrestler(roster(), name);
            if (!record)
                return;
            const WrestlerBoxes boxes = boxesFor(*record);
            for (std::size_t i = 0; i < boxes.size(); ++i)
                setBox(static_cast<Line>(i), boxes[i]);
            shown_ = record->lines;
            frame_->setEnabled(true);
            key_ = record->name();
            text1_->setText(ui::toQt(record->name()));
        });
    }

    void clearBoxes() {
        text1_->clear();
        key_.reset();
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            setBox(static_cast<Line>(i), {});
        frame_->setEnabled(false);
    }

    bool boxEdited(Line line) const { return stored_[line].edited(); }

    // The boxes the user changed, each with the line he was shown as its base.
    std::vector<FieldEdit> edits() const {
        std::vector<FieldEdit> out;
        if (!key_)
            return out;
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            const auto line = static_cast<Line>(i);
            if (!boxEdited(line))
                continue;
            if (auto edit = boxEdit(line, shown_[i], boxBytes(line)))
                out.push_back(std::move(*edit));
        }
        return out;
    }

    // A stored line as its box shows it: the carder and finisher type codes as their words.
    static std::string shownWord(std::size_t line, const std::string& bytes) {
        return kWrestlerFields[line].shown(bytes);
    }

    // The user chose to write his value over the one the file got meanwhile.
    void rebase(const Conflict& conflict) {
        const auto line = static_cast<Line>(conflict.line);
        shown_[line] = conflict.now;
        stored_[line].rebase(shownWord(line, conflict.now));
    }

    void applyChanges() {
        if (!key_) { // no wrestler shown: nothing to write
            clearBoxes();
            refillList();
            return;
        }
        // Only the boxes the user changed are written, merged into the record as it is now.
        const bool applied = watch_->writeMerged(
            this, title(),
            [&] {
                const RosterFile file = roster();
                const std::string& key = *key_;
                if (applyWrestler(file, key, edits()) == 0)
                    refuseChange(file.file, "there is no wrestler named \"" + key + "\" any more");
            },
            [this](const Conflict& c) { rebase(c); }, {},
            [](const Conflict& c, const std::string& bytes) {
                return ui::toQt(shownWord(c.line, bytes));
            });
        if (!applied)
            return; // the boxes keep what was typed, to be corrected or written again
        clearBoxes();
        refillList();
    }

    void addBlank() {
        if (writeFresh([&] { addBlankWrestler(roster()); })) {
            clearBoxes(); // nobody is picked in the refilled list
            refillList();
        }
    }

    void deleteSelected() {
        const auto selected = list_->selectedText();
        if (!selected)
            return;
        const QString name = *selected;
        if (writeFresh(
                [&] { deleteWrestler(roster(), ui::fromQtOrRefuse(name, label(Line::Name))); })) {
            clearBoxes();
            refillList();
        }
    }

    void exportToCsv() {
        const QString name =
            ui::chooseFileToSave(this, QStringLiteral("Export CSV"), QLatin1String(kCsvFilter),
                                 QStringLiteral("roster.csv"));
        if (name.isEmpty())
            return;
        const std::filesystem::path file = ui::pathFromText(name);
        if (ui::runReported(this, title(),
                            [&] { exportRosterCsv(roster(), file, context_.workDir()); }))
            ui::showWrittenTo(this, QStringLiteral("Exported the roster to"), file);
    }

    // Writes the cells changed in a spreadsheet's copy; the file is read again, so a newer
    // roster loses nothing but those cells.
    void importFromCsv() {
        const QString name =
            ui::chooseFileToOpen(this, QStringLiteral("Import CSV"), QLatin1String(kCsvFilter));
        if (name.isEmpty())
            return;
        const std::filesystem::path file = ui::pathFromText(name);
        // A conflict is reported with every value the sheet and the roster both changed.
        RosterChanges changes;
        if (!writeFresh([&] { changes = importRosterCsv(roster(), file, false); }))
            return;
        const std::size_t changed = changes.lines.size();
        clearBoxes();
        refillList();
        const QString shown = ui::pathText(file.filename());
        const QString count =
            changed == 1 ? QStringLiteral("1 change") : QStringLiteral("%1 changes").arg(changed);
        const QString note =
            changes.twoWay ? QStringLiteral(" ") +
                                 QString::fromLatin1(kTwoWayNote.data(),
                                                     static_cast<qsizetype>(kTwoWayNote.size()))
                           : QString();
        ui::showStatus(
            this,
            (changed == 0
                 ? QStringLiteral("0 changes from %1.").arg(shown)
                 : QStringLiteral("Imported %1 from %2. Undo with Restore...").arg(count, shown)) +
                note);
    }

    static constexpr const char* kCsvFilter = "CSV files (*.csv);;All files (*)";

    ui::FilteredList* list_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QWidget* frame_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    QLineEdit* text1_ = nullptr;
    std::array<QWidget*, WrestlerRecord::kLines> boxes_{};
    std::array<ui::StoredText, WrestlerRecord::kLines> stored_;
    std::optional<std::string> key_; // the name of the wrestler shown, as stored
    WrestlerBoxes shown_;            // his lines as read: the bases of the edits
};

} // namespace

QWidget* createRosterEditor(ui::EditorContext& context) {
    return ui::setUpToolWindow(new RosterEditor(context));
}

} // namespace hv::roster
