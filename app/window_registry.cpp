#include "window_registry.h"

namespace hv::ui {

QWidget* WindowRegistry::find(const QString& name) const {
    auto it = windows_.find(name);
    return it == windows_.end() ? nullptr : it->second.data();
}

QWidget* WindowRegistry::open(const QString& name, const Factory& create) {
    if (QWidget* w = find(name)) {
        w->show();
        w->raise();
        w->activateWindow();
        return w;
    }
    QWidget* w = create();
    if (!w)
        return nullptr;
    w->setObjectName(name);
    w->setAttribute(Qt::WA_DeleteOnClose);
    windows_[name] = w;
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void WindowRegistry::close(const QString& name) {
    if (QWidget* w = find(name)) {
        w->close();
        windows_.erase(name);
    }
}

const QStringList& WindowRegistry::slotWindows() {
    static const QStringList names = {QStringLiteral("doctor"),  QStringLiteral("fuededit"),
                                      QStringLiteral("html22"),  QStringLiteral("impsave"),
                                      QStringLiteral("mansave"), QStringLiteral("save"),
                                      QStringLiteral("titles")};
    return names;
}

void WindowRegistry::closeSlotWindows() {
    for (const QString& name : slotWindows())
        close(name);
}

} // namespace hv::ui
