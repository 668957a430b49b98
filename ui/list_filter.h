#pragma once

// A filter box above a list of names. Typing hides the rows whose text does not hold the typed
// text anywhere, regardless of case. Rows are only hidden, never removed or reordered, so a
// button that acts on the selected item still acts on the record it names; a selected row that
// gets hidden is deselected, so no button acts on a row the user cannot see.

#include <QElapsedTimer>
#include <QListWidget>
#include <QObject>

class QLineEdit;
class QWidget;

namespace hv::ui {

// A list of names whose hidden rows can never become current or selected: keyboard search,
// the arrows, Home/End, Page Up/Down and clicks reach only the rows shown. Focus alone makes
// no row current, so a window shows a record only once the user picks one.
class FilteredList : public QListWidget {
    Q_OBJECT
public:
    explicit FilteredList(QWidget* parent = nullptr);

    void keyboardSearch(const QString& search) override;
    // The selected item, or none.
    QListWidgetItem* selectedItem() const;

signals:
    // The selection changed, to an item or to none, or the user clicked the item already
    // selected (to see it again after its boxes were emptied, say).
    void picked(QListWidgetItem* item);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString search_;
    QElapsedTimer lastKey_;
    bool focusing_ = false;
    int selectedAtPress_ = -1;
};

class ListFilter : public QObject {
    Q_OBJECT
public:
    // Puts the list under a new filter box named after it ("Filter1" for "List1"). Place
    // widget() where the list would go.
    explicit ListFilter(FilteredList* list);

    QWidget* widget() const { return widget_; }
    QLineEdit* box() const { return box_; }
    // Whether the filter hides any row now.
    bool hidesRows() const { return hidden_ > 0; }

signals:
    // The rows shown have changed: typed text, or a refilled list under a filter.
    void changed();

private:
    void apply();

    FilteredList* list_ = nullptr;
    QLineEdit* box_ = nullptr;
    QWidget* widget_ = nullptr;
    int hidden_ = 0;
};

} // namespace hv::ui
