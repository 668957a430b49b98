#pragma once

// Helpers for window tests: a context over a test world, captured messages, and finding and
// using controls by their names.

#include "testsupport/test_support.h"
#include "ui/list_filter.h"
#include "ui/messages.h"
#include "ui/tool_window.h"

#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace hv::test {

// An editor context over a test game world: the working folder and a settable slot.
struct FakeContext : hv::ui::EditorContext {
    explicit FakeContext(std::filesystem::path dir) : work(std::move(dir)) {}
    std::filesystem::path workDir() const override { return work; }
    QString currentSlot() const override { return slot; }
    void reloadMainWindow() override { ++reloads; }
    std::filesystem::path work;
    QString slot = QStringLiteral("save1");
    int reloads = 0;
};

using FilteredList = ui::FilteredList;

template <class T> T* child(QWidget* window, const char* name) {
    auto* found = window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        ADD_FAILURE() << "no control named " << name;
    return found;
}

// The list's items, joined by "|": of a filtered list every one, shown or not.
inline std::string items(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts.join(QLatin1Char('|')).toStdString();
}
inline std::string items(FilteredList* list) {
    return list->names().join(QLatin1Char('|')).toStdString();
}
inline std::string selected(QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? std::string() : items.first()->text().toStdString();
}
inline std::string selected(FilteredList* list) {
    return list->selectedText().value_or(QString()).toStdString();
}
// Clicks the first item with this text, as the user would.
inline void clickItem(FilteredList* list, const char* text) {
    const auto row = static_cast<int>(list->names().indexOf(QString::fromLatin1(text)));
    ASSERT_GE(row, 0) << text;
    list->scrollToRow(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(row).center());
}

inline void clickButton(QWidget* window, const char* name) {
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

// The base of window fixtures: a test world, a context over it, and the messages the windows
// report instead of showing message boxes.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        hv::ui::setMessageSink(
            [this](const QString&, const QString& text) { messages.push_back(text); });
        // A question never blocks a test: it is kept and answered with `answer`.
        hv::ui::setQuestionAnswerer([this](const QString&, const QString& text) {
            questions.push_back(text);
            return answer;
        });
    }
    ~WindowTest() override {
        delete window.data();
        hv::ui::setMessageSink({});
        hv::ui::setQuestionAnswerer({});
    }

    // Exactly `count` messages so far, the last naming `word`.
    void expectReported(std::size_t count, const char* word) {
        ASSERT_EQ(messages.size(), count);
        EXPECT_TRUE(messages.back().contains(QString::fromLatin1(word)))
            << messages.back().toStdString();
    }

    // Shows the window under test in place of the one before; the last goes with the test.
    QWidget* showWindow(QWidget* created) {
        delete window.data();
        window = created;
        created->show();
        return created;
    }

    GameWorld world;
    FakeContext context{world.work};
    QPointer<QWidget> window;
    std::vector<QString> messages;
    std::vector<QString> questions;
    bool answer = true;
};

} // namespace hv::test
