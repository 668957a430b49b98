#include "window_registry.h"

namespace hv::ui {

QWidget* WindowRegistry::find(const QString& name) const {
    auto it = windows_.find(name);
    if (it == windows_.end())
        return nullptr;
    QWidget* w = it->second.data();
    // A window the user has closed lives on until its deferred deletion; Qt clears its
    // delete-on-close flag when it schedules that, so the flag tells closed from open.
    if (!w || !w->testAttribute(Qt::WA_DeleteOnClose))
        return nullptr;
    return w;
}

QWidget* WindowRegistry::open(const QString& name, const Factory& create) {
    QWidget* w = find(name);
    if (!w) {
        w = create();
        if (!w)
            return nullptr;
        w->setObjectName(name);
        w->setAttribute(Qt::WA_DeleteOnClose);
        windows_[name] = w;
    }
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void WindowRegistry::close(const QString& name) {
    if (QWidget* w = find(name))
        w->close();
    // A window may refuse to close; it then stays known as open.
    if (!find(name))
        windows_.erase(name);
}

void WindowRegistry::close(const QStringList& names) {
    for (const QString& name : names)
        close(name);
}

void WindowRegistry::closeAll() {
    QStringList names;
    for (const auto& entry : windows_)
        names << entry.first;
    close(names);
}

} // namespace hv::ui
