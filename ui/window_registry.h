#pragma once

// Knows which tool windows are open, by window name ("save", "doctor", ...). Opening a
// window that is open only brings it forward.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>

namespace hv::ui {

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    // Returns the open window of that name, raised and activated, or creates it with
    // `create` (which loads it), shows it and returns it. Windows are top-level, without
    // owner, and deleted when closed.
    QWidget* open(const QString& name, const Factory& create);
    QWidget* find(const QString& name) const;
    bool isOpen(const QString& name) const { return find(name) != nullptr; }
    void close(const QString& name);
    // Closes those of the named windows that are open, in the order given.
    void close(const QStringList& names);
    void closeAll();

private:
    std::map<QString, QPointer<QWidget>> windows_;
};

} // namespace hv::ui
