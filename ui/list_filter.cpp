#include "list_filter.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace hv::ui {

FilteredList::FilteredList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this,
            [this] { emit picked(selectedItem()); });
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        // A new pick was told by the selection already, a deselecting click too.
        if (item->isSelected() && row(item) == selectedAtPress_)
            emit picked(item);
    });
}

QListWidgetItem* FilteredList::selectedItem() const {
    const auto items = selectedItems();
    return items.isEmpty() || items.first()->isHidden() ? nullptr : items.first();
}

void FilteredList::keyboardSearch(const QString& search) {
    // Letters typed in quick succession search together, as in any list; only the rows shown
    // are searched.
    if (search.isEmpty() || !lastKey_.isValid() ||
        lastKey_.elapsed() > QApplication::keyboardInputInterval())
        search_.clear();
    lastKey_.start();
    search_ += search;
    if (search_.isEmpty() || count() == 0)
        return;
    // The same letter again steps on to the next row it starts.
    const bool repeated = search_.count(search_.front()) == search_.size();
    const QString wanted = repeated ? search_.left(1) : search_;
    const int from = currentRow() < 0 ? 0 : currentRow() + (wanted.size() == 1 ? 1 : 0);
    for (int i = 0; i < count(); ++i) {
        const int row = (from + i) % count();
        if (!isRowHidden(row) && item(row)->text().startsWith(wanted, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return;
        }
    }
}

QModelIndex FilteredList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (focusing_)
        return {};
    const QModelIndex to = QListWidget::moveCursor(action, modifiers);
    if (!to.isValid() || !isRowHidden(to.row()))
        return to;
    // The nearest row shown in the direction of the move, else the nearest the other way.
    const bool down = action == MoveDown || action == MoveNext || action == MovePageDown ||
                      action == MoveHome || action == MoveRight;
    for (const int step : {down ? 1 : -1, down ? -1 : 1})
        for (int row = to.row() + step; row >= 0 && row < count(); row += step)
            if (!isRowHidden(row))
                return indexFromItem(item(row));
    return {};
}

void FilteredList::focusInEvent(QFocusEvent* event) {
    // The plain list makes its first row current on focus; here a row becomes current only
    // when the user moves to it.
    focusing_ = true;
    QListWidget::focusInEvent(event);
    focusing_ = false;
}

void FilteredList::mousePressEvent(QMouseEvent* event) {
    const QListWidgetItem* was = selectedItem();
    selectedAtPress_ = was != nullptr ? row(was) : -1;
    QListWidget::mousePressEvent(event);
}

ListFilter::ListFilter(FilteredList* list) : list_(list) {
    QWidget* parent = list->parentWidget();
    widget_ = new QWidget(parent);
    // The filter is the widget's first child, so it goes (and its connections with it) before
    // the box and the list: a list being torn down resets its model, which must not reach a
    // filter whose box is already gone.
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

    connect(box_, &QLineEdit::textChanged, this, [this] { apply(); });
    // Refilled or grown lists keep the filter. Without one there is nothing to hide, which
    // keeps a refill of a very large list free of a second pass.
    auto refiltered = [this] {
        if (!box_->text().isEmpty() || hidden_ > 0)
            apply();
    };
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, refiltered);
    connect(model, &QAbstractItemModel::rowsRemoved, this, refiltered);
    connect(model, &QAbstractItemModel::modelReset, this, refiltered);
    connect(model, &QAbstractItemModel::dataChanged, this, refiltered);
}

void ListFilter::apply() {
    const QString text = box_->text();
    int hidden = 0;
    for (int row = 0; row < list_->count(); ++row) {
        const bool hide = !list_->item(row)->text().contains(text, Qt::CaseInsensitive);
        if (list_->isRowHidden(row) != hide)
            list_->setRowHidden(row, hide);
        hidden += hide ? 1 : 0;
    }
    hidden_ = hidden;
    const QListWidgetItem* current = list_->currentItem();
    const auto selected = list_->selectedItems();
    if ((current != nullptr && current->isHidden()) ||
        (!selected.isEmpty() && selected.first()->isHidden())) {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    emit changed();
}

} // namespace hv::ui
