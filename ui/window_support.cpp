#include "window_support.h"

#include "byte_text.h"
#include "gamefiles/text.h"
#include "list_filter.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <climits>

namespace hv::ui {

QStringList toQtList(const std::vector<std::string>& names) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names)
        list.append(toQt(name));
    return list;
}

void refill(QListWidget* list, const QStringList& names) {
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
    list->setCurrentRow(-1);
}

void refill(FilteredList* list, const QStringList& names) {
    list->setNames(names);
}

void selectFirst(FilteredList* list, const QString& text) {
    list->selectFirst(text);
}

void selectFirst(QListWidget* list, const QString& text) {
    for (QListWidgetItem* item : list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive))
        if (!item->isHidden()) {
            list->setCurrentItem(item);
            return;
        }
}

QString joinLineBreaks(const QString& text) {
    const auto joined = hv::joinLineBreaks<char16_t>(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    return QString::fromStdU16String(joined);
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

QString rawText(const QPlainTextEdit* box) {
    return box->document()->toRawText();
}

QLineEdit* hiddenBox(QWidget* parent, const QString& name, const QString& text) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(INT_MAX); // a key the files hold must come back whole
    box->setText(text);
    box->setObjectName(name);
    box->hide();
    return box;
}

} // namespace hv::ui
