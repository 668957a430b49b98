// The trading window `traderos`: the player's federation and the three rivals side by side,
// with one button for each move of a selected wrestler from one to another.

#include "otherfeds_windows.h"

#include "gamefiles/error.h"
#include "gamefiles/save_game.h"
#include "gamefiles/temp_rewrite.h"
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

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace hv::otherfeds {
namespace {

const QString kNoOtherBigFed = QStringLiteral("No other big federation");

struct TransferButton {
    const char* name;
    Party from;
    Party to;
};

// Under each list, the three moves out of that column.
constexpr TransferButton kButtons[] = {
    {"wwtran1", Party::Own, Party::Rival},  {"ecwtran1", Party::Own, Party::Ecw},
    {"indytran1", Party::Own, Party::Indy}, {"yftran1", Party::Rival, Party::Own},
    {"ecwtran2", Party::Rival, Party::Ecw}, {"indytran2", Party::Rival, Party::Indy},
    {"yftran2", Party::Ecw, Party::Own},    {"wwtran2", Party::Ecw, Party::Rival},
    {"indytran3", Party::Ecw, Party::Indy}, {"yftran3", Party::Indy, Party::Own},
    {"wwtran3", Party::Indy, Party::Rival}, {"ecwtran3", Party::Indy, Party::Ecw},
};

// Captions are set from file bytes, so they always convert back.
std::string bytes(const QString& text) {
    return ui::fromQt(text).value_or(std::string());
}

bool involvesRival(const TransferButton& move) {
    return move.from == Party::Rival || move.to == Party::Rival;
}

// Alphabetical, as the game's sorted lists show them; equal names stay together.
QStringList sorted(const std::vector<std::string>& names) {
    QStringList list = ui::toQtList(names);
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return list;
}

class TradingWindow : public ui::ToolWindow {
public:
    TradingWindow(ui::EditorContext& context, RandomSource random)
        : ToolWindow(context), random_(std::move(random)) {
        setObjectName(QStringLiteral("traderos"));
        setWindowTitle(QString::fromLatin1(kTradingCaption));
        keepSlotBox();

        watch_ = new ui::FileWatch(this, [this] { LoadTradingLists(); });
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        // The window keeps the slot it was opened on when the main window picks another.
        slotLabel_ = new QLabel(this);
        slotLabel_->setObjectName(QStringLiteral("slotLabel"));
        outer->addWidget(slotLabel_);
        auto* grid = new QGridLayout;
        outer->addLayout(grid, 1);
        static constexpr const char* kDesignCaptions[] = {"Your Fed", "WCW or WWF", "ECW",
                                                          "Other/Indy"};
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            Column& column = columns_[c];
            const int n = static_cast<int>(c) + 1;
            const int at = static_cast<int>(c);
            column.caption = new QLabel(QString::fromLatin1(kDesignCaptions[c]), this);
            column.caption->setObjectName(QStringLiteral("Label%1").arg(n));
            column.caption->setAlignment(Qt::AlignCenter);
            column.list = new ui::FilteredList(this);
            column.list->setObjectName(QStringLiteral("List%1").arg(n));
            column.list->setUniformItemSizes(true);
            column.caption->setBuddy(column.list);
            grid->addWidget(column.caption, 0, at);
            grid->addWidget((new ui::ListFilter(column.list))->widget(), 1, at);
            grid->setColumnStretch(at, 1);
            if (c == 0)
                continue;
            column.combo = new QComboBox(this);
            column.combo->setObjectName(QStringLiteral("Combo%1").arg(n));
            column.name.attach(column.combo, QString());
            column.combo->setAccessibleName(QStringLiteral("Name he will carry"));
            auto* yearsLabel = new QLabel(QStringLiteral("How many years?"), this);
            column.years = new QLineEdit(QStringLiteral("5"), this);
            column.years->setObjectName(QStringLiteral("cont%1").arg(c - 1));
            yearsLabel->setBuddy(column.years);
            ui::keepOnOneLine(column.years);
            grid->addWidget(column.combo, 2, at);
            grid->addWidget(yearsLabel, 3, at);
            grid->addWidget(column.years, 4, at);
            // The name box follows the wrestler picked, a click on him again included. A filter
            // that hides him, or a deselecting click, picks nobody else: his name box keeps
            // what was typed, and the moves out of the column move him.
            connect(column.list, &ui::FilteredList::picked, this, [this, c](int row) {
                if (row >= 0)
                    fillNameCombo(c, columns_[c].list->text(row));
            });
        }
        grid->setRowStretch(1, 1);

        int row[4] = {5, 5, 5, 5};
        for (std::size_t b = 0; b < std::size(kButtons); ++b) {
            const TransferButton& move = kButtons[b];
            auto* button = new QPushButton(fixedCaption(move.to), this);
            button->setObjectName(QString::fromLatin1(move.name));
            const auto c = static_cast<std::size_t>(move.from);
            grid->addWidget(button, row[c]++, static_cast<int>(c));
            connect(button, &QPushButton::clicked, this, [this, b] { transfer(kButtons[b]); });
            buttons_[b] = button;
        }
        resize(820, 520);

        takeSlotFromContext();
        slotLabel_->setText(QStringLiteral("Trading in Save %1").arg(slot().mid(4)));
        LoadTradingLists();
    }

private:
    struct Column {
        QLabel* caption = nullptr;
        ui::FilteredList* list = nullptr;
        QComboBox* combo = nullptr;
        ui::StoredText name;              // the name he will carry, from the file or typed
        std::optional<std::string> shown; // the wrestler whose name box that is
        QLineEdit* years = nullptr;
    };

    static QString fixedCaption(Party to) {
        switch (to) {
        case Party::Own:
            return QStringLiteral("Y");
        case Party::Rival:
            return QStringLiteral("W??");
        case Party::Ecw:
            return QStringLiteral("ECW");
        case Party::Indy:
            return QStringLiteral("Indy/Other");
        }
        return {};
    }

    Column& column(Party party) { return columns_[static_cast<std::size_t>(party)]; }

    // Reads the slot's four rosters afresh. A file that cannot be read leaves its list empty
    // and is reported, once for the whole load, so the other lists still fill.
    void LoadTradingLists() {
        for (Column& c : columns_) {
            c.shown.reset();
            if (c.combo != nullptr)
                c.name.clear();
        }

        QStringList problems;
        auto attempt = [&](const std::function<void()>& step) {
            try {
                step();
            } catch (const GameFileError& e) {
                problems.append(ui::describeError(e));
            } catch (const OperationRefused& e) {
                problems.append(ui::describeError(e));
            }
        };
        for (Column& c : columns_)
            ui::refill(c.list, {});
        otherBigFed_.reset();
        std::string folder;
        std::optional<std::string> federation;
        attempt([&] { folder = ui::gameFolder(context_); });
        if (folder.empty()) {
            reportLoad(problems);
            return;
        }
        attempt([&] { federation = federationOf(folder, slotName()); });
        if (federation)
            otherBigFed_ = OtherBigFed(*federation);

        column(Party::Own).caption->setText(federation ? ui::toQt(*federation) : QString());
        column(Party::Rival)
            .caption->setText(otherBigFed_ ? ui::toQt(*otherBigFed_) : kNoOtherBigFed);
        std::vector<std::filesystem::path> shown;
        for (Party party : kParties) {
            if (party == Party::Rival && !otherBigFed_)
                continue; // no file to open for it
            attempt([&] {
                const auto file = partyFile(folder, slotName(), party, otherBigFed_.value_or(""));
                ui::refill(column(party).list, sorted(partyNames(file, party)));
                shown.push_back(file.file);
            });
        }
        watch_->track(shown);

        const Column& rival = column(Party::Rival);
        rival.combo->setEnabled(otherBigFed_.has_value());
        rival.years->setEnabled(otherBigFed_.has_value());
        for (std::size_t b = 0; b < std::size(kButtons); ++b) {
            const TransferButton& move = kButtons[b];
            if (move.to == Party::Own && federation)
                buttons_[b]->setText(ui::toQt(*federation));
            else if (move.to == Party::Rival)
                buttons_[b]->setText(otherBigFed_ ? ui::toQt(*otherBigFed_)
                                                  : fixedCaption(move.to));
            buttons_[b]->setEnabled(!involvesRival(move) || otherBigFed_.has_value());
        }
        reportLoad(problems);
    }

    void reportLoad(const QStringList& problems) {
        if (!problems.isEmpty())
            ui::showError(this, windowTitle(), problems.join(QStringLiteral("\n\n")));
    }

    // The name combo of a rival column: the wrestler's name, then his alter ego unless "no".
    void fillNameCombo(std::size_t c, const QString& shown) {
        ui::StoredText& combo = columns_[c].name;
        const auto party = static_cast<Party>(c);
        ui::runReported(this, windowTitle(), [&] {
            combo.setItems({});
            combo.clear();
            columns_[c].shown.reset();
            const std::string name = ui::fromQtOrRefuse(shown, QStringLiteral("list"));
            const auto file =
                partyFile(ui::gameFolder(context_), slotName(), party, otherBigFed_.value_or(""));
            const auto record = findRival(file.file, name);
            if (!record)
                throw GameFileError(file.file, "no wrestler named \"" + name + "\" any more");
            std::vector<std::string> names{std::string(record->name())};
            const std::string& alterEgo = record->lines[OtherFedRecord::AlterEgo];
            if (alterEgo != "no")
                names.push_back(alterEgo);
            combo.setItems(names);
            combo.set(names.front());
            columns_[c].shown = name;
        });
    }

    void transfer(const TransferButton& move) {
        Column& source = column(move.from);
        const QString where = source.caption->text();
        const std::size_t mark = replacedMark();
        const bool done = ui::runReported(this, windowTitle(), [&] {
            // The wrestler picked, or the one whose name box shows him under a filter that
            // hides him.
            const auto chosen = source.list->selectedText();
            if (!chosen && !source.shown)
                refuseOperation("Select a wrestler in the " + bytes(where) + " list first.");
            TransferRequest request;
            request.slot = slotName();
            request.from = move.from;
            request.to = move.to;
            request.name = !chosen ? *source.shown
                                   : ui::fromQtOrRefuse(*chosen, where + QStringLiteral(" list"));
            request.otherBigFed = otherBigFed_.value_or("");
            if (move.to == Party::Own) {
                const QString nameBox = QStringLiteral("name box under ") + where;
                source.name.setLabel(nameBox);
                request.newName = source.name.bytes();
                if (request.newName.empty())
                    refuseOperation("The " + bytes(nameBox) +
                                    " is empty: pick or type the name he will carry.");
                request.years = ui::fromQtOrRefuse(
                    source.years->text(), QStringLiteral("How many years? box under ") + where);
                if (!parseContractYears(request.years))
                    refuseOperation("The \"How many years?\" box under " + bytes(where) +
                                    " holds \"" + request.years + "\", not a whole number.");
            }
            TransferWrestler(ui::gameFolder(context_), request, random_);
        });
        if (done)
            watch_->noteWritten();
        else if (replacedSince(mark).empty())
            return;
        // A failed transfer may have left a file changed, or put one back: show them as they are.
        LoadTradingLists();
    }

    RandomSource random_;
    QLabel* slotLabel_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    std::array<Column, 4> columns_;
    std::array<QPushButton*, std::size(kButtons)> buttons_{};
    std::optional<std::string> otherBigFed_; // as Label2 shows it; none when neither
};

} // namespace

QWidget* createTradingWindow(ui::EditorContext& context) {
    return createTradingWindow(context, cRandSource());
}

QWidget* createTradingWindow(ui::EditorContext& context, RandomSource random) {
    return ui::setUpToolWindow(new TradingWindow(context, std::move(random)));
}

} // namespace hv::otherfeds
