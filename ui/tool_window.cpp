#include "tool_window.h"

#include "file_path.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

namespace hv::ui {
namespace {

std::function<void(const QUrl&)>& folderOpener() {
    static std::function<void(const QUrl&)> open = [](const QUrl& url) {
        QDesktopServices::openUrl(url);
    };
    return open;
}

QPushButton* openFolderButton(QWidget* window) {
    statusLine(window);
    return window->findChild<QPushButton*>(QStringLiteral("OpenFolder"));
}

QString captionText(QString text) {
    // "&Name:" reads "Name"; "&&" is a plain ampersand.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

} // namespace

QLabel* statusLine(QWidget* window) {
    if (auto* line = window->findChild<QLabel*>(QStringLiteral("StatusLine")))
        return line;
    auto* row = new QWidget(window);
    auto* line = new QLabel(row);
    line->setObjectName(QStringLiteral("StatusLine"));
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* open = new QPushButton(QStringLiteral("Open folder"), row);
    open->setObjectName(QStringLiteral("OpenFolder"));
    open->setAutoDefault(false);
    open->hide();
    QObject::connect(open, &QPushButton::clicked, open, [open] {
        folderOpener()(QUrl::fromLocalFile(open->property("folder").toString()));
    });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(line, 1);
    layout->addWidget(open);
    if (auto* box = qobject_cast<QBoxLayout*>(window->layout()))
        box->addWidget(row);
    else if (auto* grid = qobject_cast<QGridLayout*>(window->layout()))
        grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    else if (window->layout() != nullptr)
        window->layout()->addWidget(row);
    row->show();
    return line;
}

void showStatus(QWidget* window, const QString& text) {
    statusLine(window)->setText(text);
    openFolderButton(window)->hide();
}

void showWrittenTo(QWidget* window, const QString& text, const std::filesystem::path& file) {
    const std::filesystem::path full = std::filesystem::absolute(file).lexically_normal();
    statusLine(window)->setText(text + QLatin1Char(' ') + pathText(full));
    QPushButton* open = openFolderButton(window);
    open->setProperty("folder", pathText(full.parent_path()));
    open->show();
}

void setFolderOpener(std::function<void(const QUrl&)> open) {
    folderOpener() = std::move(open);
}

QWidget* setUpToolWindow(QWidget* window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);

    QPushButton* apply = nullptr;
    int applies = 0;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text().startsWith(QStringLiteral("Apply"))) {
            apply = button;
            ++applies;
        }
    if (applies == 1) {
        apply->setDefault(true);
        auto* save = new QShortcut(QKeySequence::Save, window);
        save->setContext(Qt::WindowShortcut);
        QObject::connect(save, &QShortcut::activated, apply, [apply] {
            if (apply->isEnabled())
                apply->click();
        });
        // A plain widget window has no default-button handling of its own; a filter box only
        // narrows its list.
        for (QLineEdit* box : window->findChildren<QLineEdit*>())
            if (box->placeholderText() != QStringLiteral("Filter"))
                QObject::connect(box, &QLineEdit::returnPressed, apply, [apply] {
                    if (apply->isEnabled())
                        apply->click();
                });
    }

    for (QLabel* label : window->findChildren<QLabel*>())
        if (QWidget* buddy = label->buddy(); buddy != nullptr && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(captionText(label->text()));
    // A filter box is named after the list it narrows.
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->accessibleName().isEmpty() || box->placeholderText().isEmpty())
            continue;
        const auto* list = box->parentWidget()->findChild<QListWidget*>();
        box->setAccessibleName(list != nullptr && !list->accessibleName().isEmpty()
                                   ? box->placeholderText() + QLatin1Char(' ') +
                                         list->accessibleName()
                                   : box->placeholderText());
    }
    return window;
}

} // namespace hv::ui
