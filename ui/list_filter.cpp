#include "list_filter.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace hv::ui {

// The names, and the rows of them the filter shows, in their order; the view sees only
// those. A new filter is one reset of the view: cheaper than hiding rows one by one.
class ShownNames : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(shown_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return names_[shown_[static_cast<std::size_t>(index.row())]];
    }

    const QStringList& names() const { return names_; }
    const std::vector<int>& shown() const { return shown_; }
    // The view's row of a name, or -1 when the name is hidden.
    int shownRow(int row) const {
        const auto at = std::lower_bound(shown_.begin(), shown_.end(), row);
        return at != shown_.end() && *at == row ? static_cast<int>(at - shown_.begin()) : -1;
    }

    void reset(QStringList names, std::vector<int> shown) {
        beginResetModel();
        names_ = std::move(names);
        shown_ = std::move(shown);
        endResetModel();
    }
    void show(std::vector<int> shown) { reset(names_, std::move(shown)); }
    void append(const QString& name, bool shown) {
        const int row = static_cast<int>(names_.size());
        if (!shown) {
            names_.append(name);
            return;
        }
        const int at = static_cast<int>(shown_.size());
        beginInsertRows({}, at, at);
        names_.append(name);
        shown_.push_back(row);
        endInsertRows();
    }

private:
    QStringList names_;
    std::vector<int> shown_;
};

FilteredList::FilteredList(QWidget* parent) : QListView(parent) {
    model_ = new ShownNames(this);
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!restoring_)
            emit picked(selectedRow().value_or(-1));
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // A new pick was told by the selection already, a deselecting click too.
        if (selectionModel()->isSelected(index) && rowOf(index) == selectedAtPress_)
            emit picked(rowOf(index));
    });
}

const QStringList& FilteredList::names() const {
    return model_->names();
}

int FilteredList::count() const {
    return static_cast<int>(model_->names().size());
}

QString FilteredList::text(int row) const {
    return model_->names().value(row);
}

QModelIndex FilteredList::indexOf(int row) const {
    const int shown = row < 0 ? -1 : model_->shownRow(row);
    return shown < 0 ? QModelIndex() : model_->index(shown);
}

int FilteredList::rowOf(const QModelIndex& index) const {
    return index.isValid() ? model_->shown()[static_cast<std::size_t>(index.row())] : -1;
}

bool FilteredList::isRowHidden(int row) const {
    return model_->shownRow(row) < 0;
}

bool FilteredList::hidesRows() const {
    return model_->shown().size() < static_cast<std::size_t>(model_->names().size());
}

int FilteredList::currentRow() const {
    return rowOf(currentIndex());
}

void FilteredList::setCurrentRow(int row) {
    // As a list of single selection does: the row becomes current and selected, none clears.
    selectionModel()->setCurrentIndex(indexOf(row), QItemSelectionModel::ClearAndSelect);
}

std::optional<int> FilteredList::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return rowOf(selected.first());
}

std::optional<QString> FilteredList::selectedText() const {
    const auto row = selectedRow();
    return row ? std::optional<QString>(text(*row)) : std::nullopt;
}

void FilteredList::selectFirst(const QString& text) {
    for (const int row : model_->shown())
        if (model_->names()[row] == text) {
            setCurrentRow(row);
            return;
        }
}

QRect FilteredList::rowRect(int row) const {
    return visualRect(indexOf(row));
}

void FilteredList::scrollToRow(int row) {
    scrollTo(indexOf(row));
}

void FilteredList::setNames(const QStringList& names) {
    const bool hid = hidesRows();
    restoring_ = true;
    std::vector<int> all(static_cast<std::size_t>(names.size()));
    std::iota(all.begin(), all.end(), 0);
    model_->reset(names, std::move(all));
    selectionModel()->setCurrentIndex({}, QItemSelectionModel::Clear);
    restoring_ = false;
    // Without a filter there is nothing to hide, which keeps a refill of a very large list
    // free of a second pass.
    if (!filter_.isEmpty() || hid)
        refilter(false);
}

void FilteredList::addName(const QString& name) {
    model_->append(name, name.contains(filter_, Qt::CaseInsensitive));
    if (!filter_.isEmpty() || hidesRows())
        emit filtered();
}

void FilteredList::setFilter(const QString& text) {
    const QString before = filter_;
    filter_ = text;
    // Text that holds the old filter can only narrow the rows shown.
    refilter(!before.isEmpty() && text.contains(before, Qt::CaseInsensitive));
}

void FilteredList::refilter(bool narrowing) {
    const QStringList& names = model_->names();
    std::vector<int> shown;
    if (narrowing) {
        for (const int row : model_->shown())
            if (names[row].contains(filter_, Qt::CaseInsensitive))
                shown.push_back(row);
    } else {
        shown.reserve(static_cast<std::size_t>(names.size()));
        for (int row = 0; row < names.size(); ++row)
            if (names[row].contains(filter_, Qt::CaseInsensitive))
                shown.push_back(row);
    }
    if (shown != model_->shown()) {
        const int current = currentRow();
        const std::optional<int> selected = selectedRow();
        const auto keeps = [&](int row) {
            return std::binary_search(shown.begin(), shown.end(), row);
        };
        // A current or selected row that goes takes both with it.
        const bool lost = (current >= 0 && !keeps(current)) || (selected && !keeps(*selected));
        restoring_ = true;
        model_->show(std::move(shown));
        if (!lost) {
            selectionModel()->setCurrentIndex(indexOf(current), QItemSelectionModel::NoUpdate);
            if (selected)
                selectionModel()->select(indexOf(*selected), QItemSelectionModel::ClearAndSelect);
        }
        restoring_ = false;
        if (lost && selected)
            emit picked(-1);
    }
    emit filtered();
}

void FilteredList::keyboardSearch(const QString& search) {
    // Letters typed in quick succession search together, as in any list; only the rows shown
    // are searched.
    if (search.isEmpty() || !lastKey_.isValid() ||
        lastKey_.elapsed() > QApplication::keyboardInputInterval())
        search_.clear();
    lastKey_.start();
    search_ += search;
    const int count = model_->rowCount();
    if (search_.isEmpty() || count == 0)
        return;
    // The same letter again steps on to the next row it starts.
    const bool repeated = search_.count(search_.front()) == search_.size();
    const QString wanted = repeated ? search_.left(1) : search_;
    const int at = currentIndex().isValid() ? currentIndex().row() : -1;
    const int from = at < 0 ? 0 : at + (wanted.size() == 1 ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        const int row = (from + i) % count;
        const QModelIndex index = model_->index(row);
        if (model_->names()[rowOf(index)].startsWith(wanted, Qt::CaseInsensitive)) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            return;
        }
    }
}

QModelIndex FilteredList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (focusing_)
        return {};
    return QListView::moveCursor(action, modifiers);
}

void FilteredList::focusInEvent(QFocusEvent* event) {
    // The plain list makes its first row current on focus; here a row becomes current only
    // when the user moves to it.
    focusing_ = true;
    QListView::focusInEvent(event);
    focusing_ = false;
}

void FilteredList::mousePressEvent(QMouseEvent* event) {
    selectedAtPress_ = selectedRow().value_or(-1);
    QListView::mousePressEvent(event);
}

ListFilter::ListFilter(FilteredList* list) : list_(list) {
    QWidget* parent = list->parentWidget();
    widget_ = new QWidget(parent);
    // The filter is the widget's first child, so it goes (and its connections with it) before
    // the box and the list.
    setParent(widget_);
    box_ = new QLineEdit(widget_);
    QString name = list->objectName();
    name.replace(QStringLiteral("List"), QStringLiteral("Filter"));
    box_->setObjectName(name);
    box_->setPlaceholderText(QStringLiteral("Filter"));
    box_->setClearButtonEnabled(true);
    list->setParent(widget_);
    auto* layout = new QVBoxLayout(widget_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(box_);
    layout->addWidget(list, 1);
    QWidget::setTabOrder(box_, list); // Tab from the box goes into the list it narrows

    connect(box_, &QLineEdit::textChanged, list, &FilteredList::setFilter);
    connect(list, &FilteredList::filtered, this, &ListFilter::changed);
}

} // namespace hv::ui
