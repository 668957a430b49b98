#include "stored_text.h"

#include "byte_text.h"
#include "window_support.h"

#include "gamefiles/fields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <climits>

namespace hv::ui {
namespace {

// The control pictures for CR and LF: visible, and no byte of their own, so a box showing
// one was filled by us and the typed text maps them back.
constexpr char16_t kCrMark = 0x240D;
constexpr char16_t kLfMark = 0x240A;

} // namespace

QString StoredText::shown(std::string_view bytes) {
    QString text = toQt(bytes);
    text.replace(QLatin1Char('\r'), QChar(kCrMark));
    text.replace(QLatin1Char('\n'), QChar(kLfMark));
    return text;
}

void StoredText::attach(QLineEdit* box, const QString& label) {
    box_ = box;
    label_ = label;
    box_->setMaxLength(INT_MAX);
    keepOnOneLine(box_);
}

void StoredText::attach(QComboBox* combo, const QString& label) {
    combo_ = combo;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The default completer completes case-insensitively and would change what was typed.
    combo->setCompleter(nullptr);
    attach(combo->lineEdit(), label);
}

void StoredText::attach(QPlainTextEdit* box, const QString& label) {
    lines_ = box;
    label_ = label;
}

QString StoredText::text() const {
    return lines_ != nullptr ? rawText(lines_) : box_->text();
}

void StoredText::set(std::string_view bytes) {
    stored_ = std::string(bytes);
    if (lines_ != nullptr) {
        lines_->setPlainText(toQt(bytes));
        storedShown_ = rawText(lines_);
        return;
    }
    storedShown_ = shown(bytes);
    if (combo_ != nullptr) {
        const QSignalBlocker blocker(combo_);
        combo_->setCurrentIndex(-1);
        combo_->setEditText(storedShown_);
    } else {
        box_->setText(storedShown_);
    }
    box_->setCursorPosition(0);
}

void StoredText::setItems(const std::vector<std::string>& items) {
    items_ = items;
    const QSignalBlocker blocker(combo_);
    const QString keep = combo_->currentText();
    combo_->clear();
    for (const auto& item : items)
        combo_->addItem(shown(item));
    combo_->setCurrentIndex(-1);
    combo_->setEditText(keep);
}

void StoredText::setChoices(const Field& field) {
    std::vector<std::string> words;
    for (const Choice& c : field.choices)
        words.emplace_back(c.words);
    setItems(words);
}

void StoredText::clear() {
    set({});
}

void StoredText::rebase(std::string_view bytes) {
    stored_ = std::string(bytes);
    storedShown_ = lines_ != nullptr ? toQt(bytes) : shown(bytes);
}

bool StoredText::edited() const {
    return text() != storedShown_;
}

std::string StoredText::bytes() const {
    const QString now = text();
    if (now == storedShown_)
        return stored_;
    for (const auto& item : items_)
        if (now == shown(item))
            return item;
    if (lines_ != nullptr)
        return fromQtOrRefuse(joinLineBreaks(now), label_);
    QString typed = now;
    typed.replace(QChar(kCrMark), QLatin1Char('\r'));
    typed.replace(QChar(kLfMark), QLatin1Char('\n'));
    return fromQtOrRefuse(joinLineBreaks(typed), label_);
}

} // namespace hv::ui
