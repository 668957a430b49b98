// The batch edit window `batch`: changes typed one a line, conditions one a line, the
// wrestlers they would change listed as the user types, and Apply making them all at once.

#include "roster_windows.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include "batch_ops.h"
#include "ui/byte_text.h"
#include "ui/editor_context.h"
#include "ui/file_watch.h"
#include "ui/messages.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace hv::roster {
namespace {

class BatchWindow : public ui::ToolWindow {
public:
    explicit BatchWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("batch"));
        setWindowTitle(QString::fromLatin1(kBatchCaption));

        changes_ = box(QStringLiteral("changes"), QStringLiteral("Changes"),
                       QStringLiteral("draw=+5\ncarder=Upper Carder"));
        conditions_ = box(QStringLiteral("conditions"), QStringLiteral("Conditions"),
                          QStringLiteral("morale>=50\nname~the"));
        QStringList fields;
        for (const Field& f : kWrestlerFields)
            fields.append(
                QString::fromLatin1(f.name.data(), static_cast<qsizetype>(f.name.size())) +
                (f.kind == FieldKind::Number ? QStringLiteral(" (number)") : QString()));
        auto* help = new QLabel(
            QStringLiteral("One a line. A change is FIELD=VALUE, or +N / -N on a number field. "
                           "A condition is FIELD OP VALUE with OP one of = != < > <= >= ~ "
                           "(contains, any case); all must hold. < > <= >= only match numbers; "
                           "carder and finishertype are compared and set as words, in any "
                           "case (\"Upper Carder\", \"Power Move\").\nFields: ") +
                fields.join(QStringLiteral(", ")),
            this);
        help->setTextFormat(Qt::PlainText);
        help->setWordWrap(true);
        count_ = new QLabel(this);
        count_->setObjectName(QStringLiteral("countLabel"));
        count_->setAccessibleName(QStringLiteral("Wrestlers that will change"));
        count_->setWordWrap(true);
        count_->setTextFormat(Qt::PlainText);
        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Changes to make"));
        list_->setUniformItemSizes(true);
        auto* applyButton = new QPushButton(QStringLiteral("Apply"), this);
        applyButton->setObjectName(QStringLiteral("Command1"));
        connect(applyButton, &QPushButton::clicked, this, [this] { apply(); });
        keepSlotBox();
        watch_ = new ui::FileWatch(this, [this] { load(); });

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Changes"), changes_);
        form->addRow(QStringLiteral("Conditions"), conditions_);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(watch_->bar());
        layout->addLayout(form);
        layout->addWidget(help);
        layout->addWidget(count_);
        layout->addWidget(list_, 1);
        layout->addWidget(applyButton);
        resize(460, 480);

        load();
    }

private:
    QPlainTextEdit* box(const QString& name, const QString& caption, const QString& example) {
        auto* edit = new QPlainTextEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(caption);
        edit->setPlaceholderText(example);
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFixedHeight(fontMetrics().lineSpacing() * 4 + 12);
        connect(edit, &QPlainTextEdit::textChanged, this, [this] { preview(); });
        return edit;
    }

    RosterFile roster() const { return rosterFileFor(context_, slot()); }

    // The box's lines as bytes; a character the game's files cannot hold is refused.
    static std::vector<std::string> lines(const QPlainTextEdit* box, const QString& caption) {
        std::vector<std::string> out;
        static const QRegularExpression kBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
        for (const QString& line : ui::rawText(box).split(kBreak))
            out.push_back(ui::fromQtOrRefuse(line, caption));
        return out;
    }

    BatchEdit edit() const {
        return parseBatch(lines(changes_, QStringLiteral("Changes")),
                          lines(conditions_, QStringLiteral("Conditions")));
    }

    void showPlan(const BatchPlan& plan) {
        shown_ = plan;
        count_->setText(countText(plan));
        QStringList shown;
        for (const auto& line : plan.lines)
            shown.append(ui::toQt(line.name + "  " + std::string(kWrestlerFields[line.field].name) +
                                  ": " + line.before + " -> " + line.after));
        ui::refill(list_, shown);
    }

    static QString countText(const BatchPlan& plan) {
        return plan.wrestlers == 1 ? QStringLiteral("1 wrestler will change")
                                   : QStringLiteral("%1 wrestlers will change").arg(plan.wrestlers);
    }

    // Also the reload after an outside change.
    void load() {
        watch_->track({roster().file});
        preview();
    }

    // As the user types: what Apply would do now, or why it cannot.
    void preview() {
        try {
            if (ui::rawText(changes_).trimmed().isEmpty()) {
                showPlan({});
                return;
            }
            showPlan(planBatch(roster(), edit()));
        } catch (const std::exception& e) {
            count_->setText(ui::describeError(e));
            list_->clear();
            shown_ = {};
        }
    }

    // Writes what the list shows, and only that: when the roster changed since, so that the
    // edit would now change more or other lines, the new list is shown and asked about first.
    void apply() {
        for (;;) {
            BatchResult result;
            if (!watch_->writeFresh(this, windowTitle(), [&] {
                    result = applyBatchIfPlanned(roster(), edit(), shown_);
                }))
                return;
            if (result.applied)
                break;
            watch_->track({roster().file});
            showPlan(result.plan);
            if (!ui::askYesNo(this, windowTitle(),
                              QStringLiteral("The roster has changed since the list was made. ") +
                                  countText(result.plan) +
                                  QStringLiteral(" now, as the list shows. Apply these changes?")))
                return;
        }
        // Afterwards the list shows what Apply would do next: nothing, unless a change adds.
        preview();
    }

    QPlainTextEdit* changes_ = nullptr;
    QPlainTextEdit* conditions_ = nullptr;
    QLabel* count_ = nullptr;
    QListWidget* list_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    BatchPlan shown_; // what the list shows, which Apply writes
};

} // namespace

QWidget* createBatchWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new BatchWindow(context));
}

} // namespace hv::roster
