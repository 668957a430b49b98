// The roster table `rostertable`: every record of one federation file of the slot as a row,
// every field as a column, edited in place; the edits wait as pending changes until Apply
// writes them all as one change.
//
// The model reads its cells straight from the file's bytes as read (the line index of
// RecordBytes): only the cells drawn are turned into text, and only edited cells are kept.

#include "table_windows.h"

#include "roster/roster_windows.h"

#include "ui/byte_text.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/stored_text.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include "gamefiles/text.h"

#include <QAbstractTableModel>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace hv::table {
namespace {

QString caption(RecordKind kind, std::size_t line) {
    return ui::toQt(tableFields(kind)[line].caption).trimmed();
}

// A number, or a code the game reads as a number (the carder): sorted by the number.
bool sortsAsNumber(RecordKind kind, std::size_t line) {
    return tableFields(kind)[line].numberLike();
}

// The cells of one file: the bytes as read, and the cells edited since.
class TableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void load(RecordKind kind, std::unique_ptr<RecordBytes> records) {
        beginResetModel();
        kind_ = kind;
        records_ = std::move(records);
        pending_.clear();
        endResetModel();
    }

    RecordKind kind() const { return kind_; }
    const RecordBytes& records() const { return *records_; }
    std::size_t lines() const { return tableFields(kind_).size(); }
    bool placeholder(int row) const { return isPlaceholder(*records_, std::size_t(row)); }
    std::string_view read(int row, std::size_t line) const {
        return records_->line(std::size_t(row), line);
    }
    std::string_view stored(int row, std::size_t line) const {
        if (!pending_.empty())
            if (const auto edited = pending_.find({row, line}); edited != pending_.end())
                return edited->second;
        return read(row, line);
    }
    // The cell's bytes from now on; the bytes as read are no edit.
    void put(int row, std::size_t line, const std::string& value) {
        if (value == read(row, line))
            pending_.erase({row, line});
        else
            pending_[{row, line}] = value;
        const QModelIndex cell = index(row, int(line) + 1);
        emit dataChanged(cell, cell);
    }
    // The file now holds the bytes shown with the pending edits in: these records.
    void applied(const TableApplied& done) {
        records_->putRecords(done.records);
        const auto edited = std::move(pending_);
        pending_.clear();
        for (const auto& [cell, value] : edited) {
            const QModelIndex at = index(cell.first, int(cell.second) + 1);
            emit dataChanged(at, at);
        }
    }
    const std::map<std::pair<int, std::size_t>, std::string>& pending() const { return pending_; }
    // The rows shown are to be worked out afresh.
    void refresh() {
        beginResetModel();
        endResetModel();
    }

    // As QAbstractTableModel's, without the two virtual calls of hasIndex: a sort asks for two
    // indexes at each comparison.
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
        if (parent.isValid() || !records_ || row < 0 || std::size_t(row) >= records_->size() ||
            column < 0 || std::size_t(column) > lines())
            return {};
        return createIndex(row, column);
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !records_ ? 0 : int(records_->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 1 + int(lines());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row();
        const bool place = index.column() == 0;
        const std::size_t line = place ? 0 : std::size_t(index.column() - 1);
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (place)
                return row + 1;
            return ui::StoredText::shown(cellShown(kind_, line, stored(row, line)));
        case Qt::TextAlignmentRole:
            if (place || cellIsNumber(kind_, line))
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::ForegroundRole:
            if (placeholder(row))
                return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
            return {};
        case Qt::BackgroundRole:
            if (!place && pending_.contains({row, line}))
                return QColor(255, 230, 150);
            return {};
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            if (placeholder(row))
                return QStringLiteral("The game's placeholder record; not editable");
            if (!place && pending_.contains({row, line}))
                return QStringLiteral("Edited, not applied yet; read: \"%1\"")
                    .arg(ui::StoredText::shown(cellShown(kind_, line, read(row, line))));
            return {};
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() > 0 && !placeholder(index.row()))
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return section == 0 ? QStringLiteral("#") : caption(kind_, std::size_t(section - 1));
    }

private:
    RecordKind kind_ = RecordKind::Wrestler;
    std::unique_ptr<RecordBytes> records_;
    std::map<std::pair<int, std::size_t>, std::string> pending_;
};

// Sorting and filtering over the model, without a copy of its cells: the rows shown are worked
// out in one pass over the records, and a sort by a number column reads each number once.
class TableProxy : public QSortFilterProxyModel {
public:
    explicit TableProxy(TableModel* model) : QSortFilterProxyModel(model), model_(model) {
        setSourceModel(model);
        setDynamicSortFilter(false); // an edited row stays where it is until the next sort
    }

    // The rows to show, one flag a record. The view is told of a new set of rows as one change:
    // told row range by row range, as a filter usually is, it would redo its layout once for
    // each range.
    void setShown(std::vector<char> shown) {
        shown_ = std::move(shown);
        model_->refresh();
    }
    // The cells have changed: they are read again at the next sort.
    void dropKeys() { keyLine_.reset(); }

    void sort(int column, Qt::SortOrder order) override {
        if (column > 0)
            readKeys(std::size_t(column - 1));
        QSortFilterProxyModel::sort(column, order);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return shown_.empty() || shown_[std::size_t(row)] != 0;
    }

    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        if (left.column() == 0 || keyLine_ != std::size_t(left.column() - 1))
            return left.row() < right.row();
        return keys_[std::size_t(left.row())] < keys_[std::size_t(right.row())];
    }

private:
    // One key a row, so that the sort compares two numbers: a number column's number (a blank
    // line is 0, as the game reads it; text that is no number goes first), or for a text column
    // the row's rank in the shown texts, in any case.
    void readKeys(std::size_t line) {
        if (keyLine_ == line)
            return;
        const auto rows = std::size_t(model_->rowCount());
        const RecordKind kind = model_->kind();
        keys_.assign(rows, 0);
        if (sortsAsNumber(kind, line)) {
            for (std::size_t r = 0; r < rows; ++r) {
                const std::string_view s = model_->stored(int(r), line);
                keys_[r] = isNumberValue(s) ? parseNumber(s).value_or(0) : LLONG_MIN;
            }
        } else {
            std::vector<std::string> texts(rows);
            for (std::size_t r = 0; r < rows; ++r) {
                texts[r] = cellShown(kind, line, model_->stored(int(r), line));
                std::ranges::transform(texts[r], texts[r].begin(), foldedCase);
            }
            std::vector<std::size_t> order(rows);
            for (std::size_t r = 0; r < rows; ++r)
                order[r] = r;
            std::ranges::stable_sort(order, [&](std::size_t a, std::size_t b) {
                return std::ranges::lexicographical_compare(texts[a], texts[b], [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                });
            });
            for (std::size_t k = 0; k < rows; ++k)
                keys_[order[k]] = (long long)k;
        }
        keyLine_ = line;
    }

    TableModel* model_;
    std::vector<char> shown_;
    std::vector<long long> keys_;
    std::optional<std::size_t> keyLine_;
};

// QTableView tells an accessibility client of every cell selected or deselected, one event
// each: for a whole column of 100,000 rows the client would hang. A large change is told as one.
class TableView : public QTableView {
public:
    using QTableView::QTableView;
    bool editing() const { return state() == EditingState; }

    // Typing edits the current cell. A search by the typed text would first move the current
    // cell to another wrestler's row (after a reload has cleared it, say) and edit him instead.
    void keyboardSearch(const QString&) override {}

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override {
        const auto cells = [](const QItemSelection& s) {
            long long n = 0;
            for (const QItemSelectionRange& r : s)
                n += (long long)r.width() * r.height();
            return n;
        };
        if (QAccessible::isActive() && cells(selected) + cells(deselected) > 256) {
            QAbstractItemView::selectionChanged(selected, deselected);
            QAccessibleEvent event(this, QAccessible::SelectionWithin);
            QAccessible::updateAccessibility(&event);
            return;
        }
        QTableView::selectionChanged(selected, deselected);
    }
};

// Esc in a cell being edited cancels the edit, not the window.
class KeepEscape : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            event->accept();
        return false;
    }
};

struct CellChange {
    int row;
    std::size_t line;
    std::string before, after;
};

class CellsCommand : public QUndoCommand {
public:
    CellsCommand(const QString& text, std::vector<CellChange> changes, TableModel* model)
        : QUndoCommand(text), changes_(std::move(changes)), model_(model) {}
    void redo() override {
        for (const CellChange& c : changes_)
            model_->put(c.row, c.line, c.after);
    }
    void undo() override {
        for (auto c = changes_.rbegin(); c != changes_.rend(); ++c)
            model_->put(c->row, c->line, c->before);
    }

private:
    std::vector<CellChange> changes_;
    TableModel* model_;
};

class RosterTable;

// Each cell is edited in the box its field has in the roster editor: a combo with the editor's
// choices, or a one-line box.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(RosterTable* window, TableModel* model);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override;

private:
    RosterTable* window_;
    TableModel* model_;
};

class RosterTable : public ui::ToolWindow {
public:
    explicit RosterTable(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("rostertable"));
        setWindowTitle(QString::fromLatin1(kTableCaption));
        build();
        load();
    }

    // The undo stack, a child, clears itself as the window's QWidget part deletes its
    // children, when this part is gone: it must not tell this part about it.
    ~RosterTable() override { undo_->disconnect(this); }

    QString title() const { return QString::fromLatin1(kTableCaption); }
    TableModel* model() const { return model_; }

    // The choices of a field's combo in the roster editor, for the same field here.
    QStringList choices(std::size_t line) const {
        const std::string_view name = tableFields(model_->kind())[line].name;
        const Field* own = findField(kWrestlerFields, name);
        if (own == nullptr)
            return {};
        if (own->line == WrestlerRecord::Manager)
            return managers_;
        return roster::comboItems(static_cast<WrestlerRecord::Line>(own->line));
    }

    // Cell changes as one undoable step; a cell left as it was is none.
    void change(const QString& text, std::vector<CellChange> changes) {
        std::erase_if(changes, [](const CellChange& c) { return c.before == c.after; });
        if (changes.empty())
            return;
        proxy_->dropKeys();
        undo_->push(new CellsCommand(text, std::move(changes), model_));
    }

    // The typed text of a cell as bytes, or a message and nothing.
    std::optional<std::string> typedBytes(const QString& text, std::size_t line) {
        std::optional<std::string> bytes = ui::fromQt(ui::joinLineBreaks(text));
        if (!bytes)
            ui::showError(this, title(),
                          QStringLiteral("A character of \"%1\" cannot be stored in the game's "
                                         "files.")
                              .arg(text));
        else if (auto problem = cellProblem(model_->kind(), line, *bytes)) {
            ui::showError(this, title(), ui::toQt(*problem));
            bytes.reset();
        }
        return bytes;
    }

private:
    void build() {
        keepSlotBox();
        fed_ = new QComboBox(this);
        fed_->setObjectName(QStringLiteral("Combo1"));
        auto* fedLabel = new QLabel(QStringLiteral("&Federation"), this);
        fedLabel->setBuddy(fed_);
        connect(fed_, &QComboBox::currentIndexChanged, this, [this](int i) { switchTo(i); });

        filter_ = new QLineEdit(this);
        filter_->setObjectName(QStringLiteral("Filter1"));
        filter_->setPlaceholderText(QStringLiteral("Filter"));
        filter_->setClearButtonEnabled(true);
        connect(filter_, &QLineEdit::textChanged, this, [this] { refilter(); });
        where_ = new QLineEdit(this);
        where_->setObjectName(QStringLiteral("where"));
        where_->setPlaceholderText(QStringLiteral("morale<50, carder=Upper Carder"));
        auto* whereLabel = new QLabel(QStringLiteral("&Where"), this);
        whereLabel->setBuddy(where_);
        connect(where_, &QLineEdit::textChanged, this, [this] { refilter(); });
        whereProblem_ = new QLabel(this);
        whereProblem_->setObjectName(QStringLiteral("whereProblem"));
        count_ = new QLabel(this);
        count_->setObjectName(QStringLiteral("count"));

        model_ = new TableModel(this);
        proxy_ = new TableProxy(model_);
        view_ = new TableView(this);
        view_->setObjectName(QStringLiteral("table"));
        view_->setAccessibleName(QStringLiteral("Wrestlers"));
        view_->setModel(proxy_);
        view_->setItemDelegate(new CellDelegate(this, model_));
        view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // file order
        view_->setSortingEnabled(true);
        view_->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
        view_->setWordWrap(false);
        view_->horizontalHeader()->setAccessibleName(QStringLiteral("Fields"));
        view_->verticalHeader()->setAccessibleName(QStringLiteral("Places"));
        view_->verticalHeader()->hide(); // the "#" column tells the place
        view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
        view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

        undo_ = new QUndoStack(this);
        connect(undo_, &QUndoStack::indexChanged, this, [this] { showPending(); });
        const auto shortcut = [this](QWidget* on, const QKeySequence& keys, auto slot,
                                     Qt::ShortcutContext context) {
            auto* action = new QAction(on);
            action->setShortcut(keys);
            action->setShortcutContext(context);
            connect(action, &QAction::triggered, this, slot);
            on->addAction(action);
        };
        shortcut(
            this, QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { endEdit(), undo_->undo(); },
            Qt::WindowShortcut);
        shortcut(
            this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
            [this] { endEdit(), undo_->redo(); }, Qt::WindowShortcut);
        shortcut(
            view_, QKeySequence::Copy, [this] { copy(); }, Qt::WidgetShortcut);
        shortcut(
            view_, QKeySequence::Paste, [this] { paste(); }, Qt::WidgetShortcut);

        pending_ = new QLabel(this);
        pending_->setObjectName(QStringLiteral("pending"));
        auto* setField = new QPushButton(QStringLiteral("Set Field..."), this);
        setField->setObjectName(QStringLiteral("setField"));
        connect(setField, &QPushButton::clicked, this, [this] { askSetField(); });
        auto* revert = new QPushButton(QStringLiteral("Revert"), this);
        revert->setObjectName(QStringLiteral("revert"));
        connect(revert, &QPushButton::clicked, this, [this] { revertAll(); });
        apply_ = new QPushButton(QStringLiteral("Apply"), this);
        apply_->setObjectName(QStringLiteral("Command1"));
        connect(apply_, &QPushButton::clicked, this, [this] { applyAll(); });

        watch_ = new ui::FileWatch(
            this, [this] { ui::runReported(this, title(), [this] { reloadFile(); }); });
        watch_->setEdited([this] { return !model_->pending().empty(); });

        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* top = new QHBoxLayout;
        top->addWidget(fedLabel);
        top->addWidget(fed_);
        top->addWidget(filter_, 1);
        top->addWidget(whereLabel);
        top->addWidget(where_, 2);
        outer->addLayout(top);
        auto* counts = new QHBoxLayout;
        counts->addWidget(count_);
        counts->addWidget(whereProblem_, 1);
        outer->addLayout(counts);
        outer->addWidget(view_, 1);
        auto* bottom = new QHBoxLayout;
        bottom->addWidget(pending_, 1);
        bottom->addWidget(setField);
        bottom->addWidget(revert);
        bottom->addWidget(apply_);
        outer->addLayout(bottom);
        resize(1100, 600);
        setFocusProxy(view_);
    }

    void load() {
        const std::string slot = slotName();
        const std::string folder = gameFolder();
        sources_ = tableSources(folder, slot);
        managers_ = QStringList{QStringLiteral("no")};
        ui::runReported(this, title(), [&] {
            for (const std::string& name : roster::federationManagers(folder, slot))
                managers_.append(ui::toQt(name));
        });
        {
            const QSignalBlocker blocker(fed_);
            for (const TableSource& source : sources_)
                fed_->addItem(ui::toQt(source.caption));
        }
        shown_ = 0;
        reloadFile();
    }

    const TableSource& source() const { return sources_[std::size_t(shown_)]; }

    // Reads the file shown afresh; pending edits go.
    void reloadFile() {
        proxy_->dropKeys();
        undo_->clear();
        // The current cell stays where it was (by its place in the file), as after Apply.
        const QModelIndex was = proxy_->mapToSource(view_->currentIndex());
        const int row = was.row(), column = was.column();
        const TableSource& s = source();
        TableFile read = readTableFile(s);
        model_->load(s.kind, std::make_unique<RecordBytes>(std::move(read.records)));
        wrestlers_ = 0;
        for (std::size_t i = 0; i < model_->records().size(); ++i)
            wrestlers_ += isPlaceholder(model_->records(), i) ? 0 : 1;
        fitColumns();
        watch_->track({{s.file.file, read.read}});
        refilter();
        showPending();
        if (row >= 0)
            view_->setCurrentIndex(proxy_->mapFromSource(model_->index(row, column)));
    }

    void fitColumns() {
        const int digit = view_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        view_->setColumnWidth(0, digit * 8);
        for (std::size_t l = 0; l < model_->lines(); ++l) {
            const int header = view_->fontMetrics().horizontalAdvance(caption(model_->kind(), l));
            const int wide = cellIsNumber(model_->kind(), l) ? digit * 6 : digit * 16;
            view_->setColumnWidth(int(l) + 1, std::max(header + 3 * digit, wide));
        }
    }

    void switchTo(int index) {
        if (index < 0 || index == shown_)
            return;
        if (!model_->pending().empty() &&
            !ui::askYesNo(this, title(),
                          QStringLiteral("Drop the %1 pending changes of %2?")
                              .arg(model_->pending().size())
                              .arg(ui::toQt(source().caption)))) {
            const QSignalBlocker blocker(fed_);
            fed_->setCurrentIndex(shown_);
            return;
        }
        shown_ = index;
        ui::runReported(this, title(), [&] { reloadFile(); });
    }

    void refilter() {
        std::vector<TableCondition> conditions;
        whereProblem_->clear();
        try {
            conditions = parseConditions(model_->kind(), where_->text().toStdString());
        } catch (const std::exception& e) {
            whereProblem_->setText(ui::describeError(e));
        }
        const std::optional<std::string> part = ui::fromQt(filter_->text());
        const auto rows = std::size_t(model_->rowCount());
        std::vector<char> shown(rows, 0);
        std::size_t wrestlersShown = 0;
        for (std::size_t i = 0; i < rows; ++i) {
            const int row = int(i);
            const bool placeholder = model_->placeholder(row);
            const auto lineOf = [&](std::size_t line) { return model_->read(row, line); };
            const bool in =
                part && containsFolded(lineOf(0), *part) &&
                (placeholder ? conditions.empty() : meetsConditions(conditions, lineOf));
            shown[i] = in ? 1 : 0;
            wrestlersShown += in && !placeholder ? 1 : 0;
        }
        proxy_->setShown(std::move(shown));
        count_->setText(QStringLiteral("%1 of %2 wrestlers").arg(wrestlersShown).arg(wrestlers_));
    }

    void showPending() {
        const std::size_t n = model_->pending().size();
        pending_->setText(n == 0   ? QStringLiteral("No pending changes")
                          : n == 1 ? QStringLiteral("1 pending change")
                                   : QStringLiteral("%1 pending changes").arg(n));
    }

    // Ends an edit in progress, keeping what was typed.
    void endEdit() {
        if (!view_->editing())
            return;
        if (QWidget* editor = view_->indexWidget(view_->currentIndex())) {
            emit view_->itemDelegate()->commitData(editor);
            emit view_->itemDelegate()->closeEditor(editor);
        }
    }

    void applyAll() {
        endEdit();
        std::vector<TableEdit> edits;
        for (const auto& [cell, value] : model_->pending()) {
            const auto [row, line] = cell;
            edits.push_back({std::size_t(row),
                             std::string(model_->read(row, 0)),
                             {line, std::string(model_->read(row, line)), value}});
        }
        const TableSource s = source();
        TableApplied done;
        if (!watch_->writeFresh(this, title(),
                                [&] { done = applyTableEdits(s, edits, model_->records()); }))
            return;
        // Where the file held what is shown, the saved records go into the bytes shown, with no
        // read of the file; merged with changes made meanwhile, it is read and shown as it is.
        if (!done.asShown || !ui::runReported(this, title(), [&] { model_->applied(done); })) {
            ui::runReported(this, title(), [&] { reloadFile(); });
            return;
        }
        undo_->clear();
        showPending();
    }

    void revertAll() {
        endEdit();
        std::vector<CellChange> changes;
        for (const auto& [cell, value] : model_->pending())
            changes.push_back({cell.first, cell.second, value,
                               std::string(model_->read(cell.first, cell.second))});
        change(QStringLiteral("Revert"), std::move(changes));
    }

    // The selected rows of the model, in the order shown.
    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        std::vector<char> seen(std::size_t(model_->rowCount()), 0);
        for (const QItemSelectionRange& range : view_->selectionModel()->selection())
            for (int r = range.top(); r <= range.bottom(); ++r) {
                const int row = proxy_->mapToSource(proxy_->index(r, 0)).row();
                if (!seen[std::size_t(row)]) {
                    seen[std::size_t(row)] = 1;
                    rows.push_back(row);
                }
            }
        return rows;
    }

    void copy() {
        const QItemSelection selection = view_->selectionModel()->selection();
        if (selection.isEmpty())
            return;
        int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
        for (const QItemSelectionRange& r : selection) {
            top = std::min(top, r.top());
            bottom = std::max(bottom, r.bottom());
            left = std::min(left, r.left());
            right = std::max(right, r.right());
        }
        QString text;
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c) {
                const QModelIndex cell = proxy_->index(r, c);
                if (c > left)
                    text += QLatin1Char('\t');
                if (selection.contains(cell))
                    text += cell.data().toString();
            }
            text += QLatin1Char('\n');
        }
        QApplication::clipboard()->setText(text);
    }

    // A block of tab-separated values from the current cell on, right and down as shown. A
    // value that its cell refuses refuses the whole block; placeholder rows, the "#" column and
    // what lies past the last row or column take nothing.
    void paste() {
        const QModelIndex at = view_->currentIndex();
        if (!at.isValid())
            return;
        QStringList rows = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        if (!rows.isEmpty() && rows.back().isEmpty())
            rows.removeLast();
        std::vector<CellChange> changes;
        for (int i = 0; i < rows.size(); ++i) {
            QString line = rows[i];
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            const QStringList values = line.split(QLatin1Char('\t'));
            const int r = at.row() + i;
            if (r >= proxy_->rowCount())
                break;
            const int row = proxy_->mapToSource(proxy_->index(r, 0)).row();
            if (model_->placeholder(row))
                continue;
            for (int j = 0; j < values.size(); ++j) {
                const int column = at.column() + j;
                if (column == 0)
                    continue;
                if (column >= proxy_->columnCount())
                    break;
                const auto field = std::size_t(column - 1);
                const auto bytes = typedBytes(values[j], field);
                if (!bytes)
                    return;
                const std::string before(model_->stored(row, field));
                changes.push_back(
                    {row, field, before, cellStored(model_->kind(), field, *bytes, before)});
            }
        }
        change(QStringLiteral("Paste"), std::move(changes));
    }

    void askSetField() {
        const std::vector<int> rows = selectedRows();
        if (rows.empty()) {
            ui::showStatus(this, QStringLiteral("Select the rows to set first."));
            return;
        }
        auto* dialog = new QDialog(this);
        dialog->setObjectName(QStringLiteral("setFieldDialog"));
        dialog->setWindowTitle(QStringLiteral("Set Field"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        auto* field = new QComboBox(dialog);
        field->setObjectName(QStringLiteral("field"));
        for (std::size_t l = 0; l < model_->lines(); ++l)
            field->addItem(caption(model_->kind(), l));
        auto* value = new QLineEdit(dialog);
        value->setObjectName(QStringLiteral("value"));
        value->setToolTip(QStringLiteral("The value for every selected row; +N or -N adds to a "
                                         "number field"));
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
        auto* form = new QFormLayout(dialog);
        form->addRow(QStringLiteral("&Field"), field);
        form->addRow(QStringLiteral("&Value (or +N, -N)"), value);
        form->addRow(QStringLiteral("%1 selected rows").arg(rows.size()), buttons);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        connect(buttons, &QDialogButtonBox::accepted, dialog, [=, this] {
            if (setField(rows, std::size_t(field->currentIndex()), value->text()))
                dialog->accept();
        });
        dialog->open();
    }

    bool setField(const std::vector<int>& rows, std::size_t line, const QString& text) {
        const std::optional<std::string> given = ui::fromQt(ui::joinLineBreaks(text));
        std::vector<CellChange> changes;
        for (int row : rows) {
            if (model_->placeholder(row))
                continue;
            const std::string before(model_->stored(row, line));
            if (given)
                if (auto sum = cellAdded(model_->kind(), line, *given, before)) {
                    changes.push_back({row, line, before, *sum});
                    continue;
                }
            const auto bytes = typedBytes(text, line);
            if (!bytes)
                return false;
            changes.push_back(
                {row, line, before, cellStored(model_->kind(), line, *bytes, before)});
        }
        change(QStringLiteral("Set %1").arg(caption(model_->kind(), line)), std::move(changes));
        return true;
    }

    std::vector<TableSource> sources_;
    int shown_ = 0;
    std::size_t wrestlers_ = 0;
    QStringList managers_;
    QComboBox* fed_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QLineEdit* where_ = nullptr;
    QLabel* whereProblem_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* pending_ = nullptr;
    QPushButton* apply_ = nullptr;
    TableModel* model_ = nullptr;
    TableProxy* proxy_ = nullptr;
    TableView* view_ = nullptr;
    QUndoStack* undo_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
};

CellDelegate::CellDelegate(RosterTable* window, TableModel* model)
    : QStyledItemDelegate(window), window_(window), model_(model) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const auto line = std::size_t(index.column() - 1);
    const QStringList choices = window_->choices(line);
    QWidget* editor = nullptr;
    QLineEdit* box = nullptr;
    if (!choices.isEmpty()) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr); // it would change what was typed
        combo->addItems(choices);
        box = combo->lineEdit();
        editor = combo;
    } else {
        box = new QLineEdit(parent);
        box->setFrame(false);
        editor = box;
    }
    box->setMaxLength(INT_MAX);
    ui::keepOnOneLine(box);
    editor->setAccessibleName(caption(model_->kind(), line));
    auto* keep = new KeepEscape(editor);
    editor->installEventFilter(keep);
    box->installEventFilter(keep);
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
        combo->lineEdit()->selectAll();
    } else if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        box->setText(text);
        box->selectAll();
    }
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    const QString text =
        combo != nullptr ? combo->currentText() : static_cast<QLineEdit*>(editor)->text();
    if (text == index.data(Qt::EditRole).toString())
        return; // untouched: the stored bytes stay, whatever Qt did to their text
    const int row =
        static_cast<const QSortFilterProxyModel*>(index.model())->mapToSource(index).row();
    const auto line = std::size_t(index.column() - 1);
    const auto bytes = window_->typedBytes(text, line);
    if (!bytes)
        return;
    const std::string before(model_->stored(row, line));
    window_->change(QStringLiteral("Edit %1").arg(caption(model_->kind(), line)),
                    {{row, line, before, cellStored(model_->kind(), line, *bytes, before)}});
}

} // namespace

QWidget* createRosterTable(ui::EditorContext& context) {
    auto* window = new RosterTable(context);
    ui::setUpToolWindow(window);
    // Enter in the condition box narrows the table; it does not write the file.
    for (QLineEdit* box : window->findChildren<QLineEdit*>(QStringLiteral("where")))
        QObject::disconnect(box, &QLineEdit::returnPressed, nullptr, nullptr);
    return window;
}

} // namespace hv::table
