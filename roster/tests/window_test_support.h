#pragma once

// Helpers for the roster window tests: a context over a test world, captured messages, and
// finding and using controls by their names.

#include "fake_context.h"

#include "app/messages.h"
#include "testsupport/test_support.h"

#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace hv::test {

// Collects what the windows report instead of showing message boxes.
class CapturedMessages {
public:
    CapturedMessages() {
        hv::ui::setMessageSink(
            [this](const QString&, const QString& text) { texts.push_back(text); });
    }
    ~CapturedMessages() { hv::ui::setMessageSink({}); }
    std::vector<QString> texts;
};

template <class T> T* child(QWidget* window, const char* name) {
    auto* found = window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        ADD_FAILURE() << "no control named " << name;
    return found;
}

inline QStringList items(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

inline QStringList names(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}

inline QString selected(QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

// Clicks the first item with this text, as the user would.
inline void clickItem(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
}

inline void clickButton(QWidget* window, const char* name) {
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

// The base of the window fixtures: a test world, a context over it, and the messages the
// windows report.
class RosterWindowTest : public ::testing::Test {
protected:
    std::filesystem::path rosterFile(std::string_view slot = "save1") const {
        return world.slotFile(slot, "Controlled/yourfed.hv1");
    }
    std::string roster(std::string_view slot = "save1") const { return readFile(rosterFile(slot)); }

    GameWorld world;
    FakeContext context{world.work};
    CapturedMessages messages;
};

} // namespace hv::test
