#include "list_filter.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace hv::ui {

ListFilter::ListFilter(QListWidget* list) : list_(list) {
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
    if (QListWidgetItem* current = list_->currentItem(); current && current->isHidden()) {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    emit changed();
}

} // namespace hv::ui
