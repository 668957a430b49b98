#pragma once

// A filter box above a list of names. Typing hides the rows whose text does not hold the typed
// text anywhere, regardless of case. Rows are only hidden, never removed or reordered, so a
// button that acts on the selected row still acts on the record it names; a selected row that
// gets hidden is deselected, so no button acts on a row the user cannot see.

#include <QElapsedTimer>
#include <QListView>
#include <QObject>
#include <QStringList>

#include <optional>
#include <vector>

class QLineEdit;
class QWidget;

namespace hv::ui {

class ShownNames;

// A view of a list of names, of which a filter shows some. Rows are counted over all the
// names, shown or not (as a window and its files count them); the view holds only the rows
// shown, so hidden rows can never become current or selected: keyboard search, the arrows,
// Home/End, Page Up/Down and clicks reach only the rows shown. Focus alone makes no row
// current, so a window shows a record only once the user picks one.
class FilteredList : public QListView {
    Q_OBJECT
public:
    explicit FilteredList(QWidget* parent = nullptr);

    // Replaces the names in one go, leaving nothing current or selected; the filter stays.
    void setNames(const QStringList& names);
    // Adds a name at the end (shown when the filter lets it through).
    void addName(const QString& name);
    // Every name, shown or not.
    const QStringList& names() const;
    int count() const;
    QString text(int row) const;

    // Shows only the names holding `text`, regardless of case; empty shows them all. The
    // current and selected row stay while they are shown, and go (nothing picked) when not.
    void setFilter(const QString& text);
    bool isRowHidden(int row) const;
    // Whether the filter hides any row now.
    bool hidesRows() const;

    int currentRow() const; // -1 for none
    void setCurrentRow(int row);
    // The row selected, or none; never a hidden one.
    std::optional<int> selectedRow() const;
    std::optional<QString> selectedText() const;
    // Makes the first row shown with exactly this text current, if there is one.
    void selectFirst(const QString& text);
    // The row's place in the viewport, empty when it is hidden.
    QRect rowRect(int row) const;
    void scrollToRow(int row);

    void keyboardSearch(const QString& search) override;

signals:
    // The selection changed, to a row or to none (-1), or the user clicked the row already
    // selected (to see it again after its boxes were emptied, say).
    void picked(int row);
    // The rows shown have changed: typed filter text, or new names under a filter.
    void filtered();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QModelIndex indexOf(int row) const;
    int rowOf(const QModelIndex& index) const;
    // Shows the rows the filter lets through (among those shown when `narrowing`), keeping
    // the current and selected row while they stay shown.
    void refilter(bool narrowing);

    ShownNames* model_ = nullptr;
    QString filter_;
    QString search_;
    QElapsedTimer lastKey_;
    bool focusing_ = false;
    bool restoring_ = false;
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
    bool hidesRows() const { return list_->hidesRows(); }

signals:
    // The rows shown have changed: typed text, or a refilled list under a filter.
    void changed();

private:
    FilteredList* list_ = nullptr;
    QLineEdit* box_ = nullptr;
    QWidget* widget_ = nullptr;
};

} // namespace hv::ui
