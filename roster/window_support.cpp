#include "window_support.h"

#include "app/byte_text.h"
#include "app/editor_context.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace hv::roster {

RosterFile rosterFileFor(const hv::ui::EditorContext& context, const QString& slot) {
    return RosterFile(hv::ui::gameFolder(context), slot.toStdString());
}

QStringList toQtList(const std::vector<std::string>& names) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names)
        list.append(hv::ui::toQt(name));
    return list;
}

void refill(QListWidget* list, const QStringList& names) {
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
    list->setCurrentRow(-1);
}

void selectFirst(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!found.isEmpty())
        list->setCurrentItem(found.first());
}

QString joinLineBreaks(QString text) {
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
    return text.replace(breaks, QStringLiteral(" "));
}

void keepOnOneLine(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const QString joined = joinLineBreaks(text);
        if (joined == text)
            return;
        const int cursor = box->cursorPosition();
        box->setText(joined);
        box->setCursorPosition(std::min(cursor, static_cast<int>(joined.size())));
    });
}

QLineEdit* hiddenBox(QWidget* parent, const QString& name, const QString& text) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->hide();
    return box;
}

} // namespace hv::roster
