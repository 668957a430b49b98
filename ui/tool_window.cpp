#include "tool_window.h"

#include "editor_context.h"
#include "file_path.h"
#include "window_support.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include <algorithm>

namespace hv::ui {

ToolWindow::ToolWindow(EditorContext& context, QWidget* parent)
    : ToolWindow(context, context.currentSlot(), parent) {}

ToolWindow::ToolWindow(EditorContext& context, QString slot, QWidget* parent)
    : QWidget(parent), context_(context), slot_(std::move(slot)) {}

std::string ToolWindow::gameFolder() const {
    return context_.gameFolder();
}

void ToolWindow::receiveSlot(const QString& slot) {
    setSlot(slot);
}

void ToolWindow::takeSlotFromContext() {
    setSlot(context_.currentSlot());
}

QLineEdit* ToolWindow::keepSlotBox(const QString& name) {
    if (slotBox_ == nullptr)
        slotBox_ = hiddenBox(this, name, slot_);
    return slotBox_;
}

void ToolWindow::setSlot(QString slot) {
    slot_ = std::move(slot);
    if (slotBox_ != nullptr)
        slotBox_->setText(slot_);
}

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

// The text of the label that captions `widget`, without its '&'.
QString buddyCaption(const QWidget* widget) {
    const QWidget* window = widget->window();
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() == widget)
            return captionText(label->text());
    return {};
}

// On Linux Qt names a combo by its current value, so a screen reader says "Vacant" for every
// title. This one is named by its accessible name or caption, its value said as the value.
class NamedCombo : public QAccessibleWidget {
public:
    explicit NamedCombo(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    QComboBox* combo() const { return static_cast<QComboBox*>(object()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return combo()->currentText();
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        QString name = combo()->accessibleName();
        if (name.isEmpty())
            name = buddyCaption(combo());
        return name.isEmpty() ? combo()->currentText() : name;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == combo()->view() ? 0 : -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.editable = combo()->isEditable();
        return s;
    }
};

QAccessibleInterface* namedCombo(const QString& className, QObject* object) {
    auto* combo = qobject_cast<QComboBox*>(object);
    return combo != nullptr && className == QStringLiteral("QComboBox") ? new NamedCombo(combo)
                                                                        : nullptr;
}

// A longer message wraps: the window grows to show all of it.
void fitText(QWidget* window) {
    QLayout* layout = window->layout();
    if (layout != nullptr)
        layout->activate();
    // Layouts without height-for-width give a label one line: it asks for all it needs.
    QLabel* line = statusLine(window);
    line->setMinimumHeight(line->heightForWidth(line->width()));
    line->parentWidget()->layout()->invalidate();
    if (layout != nullptr) {
        layout->invalidate();
        layout->activate();
    }
    const int needed = std::max(window->minimumSizeHint().height(), window->sizeHint().height());
    if (window->height() < needed)
        window->resize(window->width(), needed);
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
    fitText(window);
}

void showWrittenTo(QWidget* window, const QString& text, const std::filesystem::path& file) {
    const std::filesystem::path full = std::filesystem::absolute(file).lexically_normal();
    statusLine(window)->setText(text + QLatin1Char(' ') + pathText(full));
    QPushButton* open = openFolderButton(window);
    open->setProperty("folder", pathText(full.parent_path()));
    open->show();
    fitText(window);
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

    // Boxes are named by their caption labels (their buddies) already; combos need the help
    // above, and a filter box is named after the list it narrows.
    static const bool installed = [] {
        QAccessible::installFactory(namedCombo);
        return true;
    }();
    (void)installed;
    // Lists are not named by their labels in Qt: they take the caption as it is now.
    for (QLabel* label : window->findChildren<QLabel*>())
        if (auto* list = qobject_cast<QAbstractItemView*>(label->buddy());
            list != nullptr && list->accessibleName().isEmpty())
            list->setAccessibleName(captionText(label->text()));
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (!box->accessibleName().isEmpty() || box->placeholderText().isEmpty())
            continue;
        auto* list = box->parentWidget()->findChild<QListView*>();
        // Widgets moved into place after the filter was made can come between it and its list.
        if (list != nullptr)
            QWidget::setTabOrder(box, list);
        QAccessibleInterface* named =
            list != nullptr ? QAccessible::queryAccessibleInterface(list) : nullptr;
        const QString listName = named != nullptr ? named->text(QAccessible::Name) : QString();
        box->setAccessibleName(listName.isEmpty()
                                   ? box->placeholderText()
                                   : box->placeholderText() + QLatin1Char(' ') + listName);
    }
    return window;
}

} // namespace hv::ui
