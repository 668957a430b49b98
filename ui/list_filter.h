#pragma once

// A filter box above a list of names. Typing hides the rows whose text does not hold the typed
// text anywhere, regardless of case. Rows are only hidden, never removed or reordered, so a
// button that acts on the selected item still acts on the record it names; a selected row that
// gets hidden is deselected, so no button acts on a row the user cannot see.

#include <QObject>

class QLineEdit;
class QListWidget;
class QWidget;

namespace hv::ui {

class ListFilter : public QObject {
    Q_OBJECT
public:
    // Puts the list under a new filter box named after it ("Filter1" for "List1"). Place
    // widget() where the list would go.
    explicit ListFilter(QListWidget* list);

    QWidget* widget() const { return widget_; }
    QLineEdit* box() const { return box_; }
    // Whether the filter hides any row now.
    bool hidesRows() const { return hidden_ > 0; }

signals:
    // The rows shown have changed: typed text, or a refilled list under a filter.
    void changed();

private:
    void apply();

    QListWidget* list_ = nullptr;
    QLineEdit* box_ = nullptr;
    QWidget* widget_ = nullptr;
    int hidden_ = 0;
};

} // namespace hv::ui
