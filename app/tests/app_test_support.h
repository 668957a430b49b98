#pragma once

// A fresh game world, a main window over it and the messages it shows, per test.

#include "app/main_window.h"
#include "testsupport/window_test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <memory>
#include <utility>
#include <vector>

namespace hv::test {

using namespace Qt::StringLiterals;

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        hv::ui::setMessageSink([this](const QString& title, const QString& text) {
            messages.emplace_back(title, text);
        });
    }

    void TearDown() override {
        main.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        hv::ui::setMessageSink({});
    }

    hv::ui::MainWindow& start() {
        main = std::make_unique<hv::ui::MainWindow>(world.work);
        main->show();
        return *main;
    }

    template <typename T> T* child(QWidget* parent, const QString& name) {
        T* found = parent->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QRadioButton* option(int n) { return child<QRadioButton>(main.get(), u"Option%1"_s.arg(n)); }
    // Clicks the option's round indicator; the rest of a wide button does not take clicks.
    void clickOption(int n) {
        QRadioButton* button = option(n);
        QStyleOptionButton style;
        style.initFrom(button);
        const QRect indicator =
            button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, button);
        QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
    }
    QString frameTitle() { return child<QGroupBox>(main.get(), u"Frame1"_s)->title(); }
    QString hid() { return child<QLineEdit>(main.get(), u"hid"_s)->text(); }
    std::filesystem::path optionsFile() const { return world.work / "options.dat"; }

    GameWorld world;
    std::unique_ptr<hv::ui::MainWindow> main;
    std::vector<std::pair<QString, QString>> messages;
};

} // namespace hv::test
