// The conflict window `yesno`: an import met a wrestler of the same name. "Yes" overwrites
// him, "No" unlocks a new name and "Apply" imports under it. It works from its own hidden
// boxes, so the exchange window may be closed meanwhile.

#include "exchange_windows.h"

#include "ui/byte_text.h"
#include "ui/file_path.h"
#include "ui/file_watch.h"
#include "ui/messages.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace hv::exchange {
namespace {

class ConflictWindow : public ui::ToolWindow {
public:
    ConflictWindow(ui::EditorContext& context, const QString& slot, ui::FilteredList* list,
                   ui::FileWatch* watch)
        : ToolWindow(context, slot), list_(list), watch_(watch) {
        setObjectName(QStringLiteral("yesno"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Import"));

        question_ = new QLabel(kQuestion, this);
        question_->setObjectName(QStringLiteral("Label1"));
        question_->setWordWrap(true);
        auto* yes = button("Command1", "Yes");
        auto* no = button("Command2", "No");
        newName_ = new QLineEdit(this);
        newName_->setObjectName(QStringLiteral("Text5"));
        ui::keepOnOneLine(newName_);
        apply_ = button("Command3", "Apply");
        keepSlotBox(QStringLiteral("Text1"));
        nameBox_ = ui::hiddenBox(this, QStringLiteral("Text2"));
        fileBox_ = ui::hiddenBox(this, QStringLiteral("Text3"));

        connect(yes, &QPushButton::clicked, this, [this] { overwrite(); });
        connect(no, &QPushButton::clicked, this, [this] { unlockNewName(); });
        connect(apply_, &QPushButton::clicked, this, [this] { importUnderNewName(); });

        auto* grid = new QGridLayout(this);
        grid->addWidget(question_, 0, 0, 1, 2);
        grid->addWidget(yes, 1, 0);
        grid->addWidget(no, 1, 1);
        grid->addWidget(newName_, 2, 0, 1, 2);
        grid->addWidget(apply_, 3, 0, 1, 2);
        resize(360, 180);

        // Waiting: a grey, locked name box until "No". Read-only rather than disabled, so the
        // name stays in the normal text colour and can be read.
        setNameBoxColour(QColor(192, 192, 192));
        newName_->setReadOnly(true);
        apply_->setEnabled(false);
    }

    void fill(const QString& name, const std::filesystem::path& exportFile,
              std::vector<std::string> clashing) {
        asked_ = std::move(clashing);
        name_ = name;
        nameBox_->setText(name);
        // The file as its box names it, so that it reads back the same.
        exportFile_ = ui::pathFromText(ui::pathText(exportFile));
        fileBox_->setText(ui::pathText(exportFile));
        newName_->setText(name);
    }

private:
    QPushButton* button(const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    }
    void setNameBoxColour(const QColor& colour) {
        QPalette palette = newName_->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, colour);
        newName_->setPalette(palette);
    }
    RosterFile roster() const { return rosterFileFor(context_, slot()); }
    const std::filesystem::path& exportFile() const { return exportFile_; }

    void overwrite() {
        if (ui::runReported(this, windowTitle(), [&] {
                const auto name = ui::fromQtOrRefuse(name_, QStringLiteral("Name"));
                try {
                    overwriteWrestler(roster(), name, exportFile(), &asked_);
                } catch (const ClashChanged& moved) {
                    // The question is asked again about the roster as it is now.
                    asked_ = moved.now();
                    question_->setText(ui::toQt(moved.what()) + QLatin1Char(' ') + kQuestion);
                    throw;
                }
            })) {
            noteWritten();
            close();
        }
    }

    void noteWritten() {
        if (watch_)
            watch_->noteWritten();
    }

    void unlockNewName() {
        setNameBoxColour(Qt::white);
        newName_->setReadOnly(false);
        apply_->setEnabled(true);
    }

    void importUnderNewName() {
        const QString shown = newName_->text();
        if (!ui::runReported(this, windowTitle(), [&] {
                importAs(roster(), exportFile(),
                         ui::fromQtOrRefuse(shown, QStringLiteral("New name")));
            }))
            return;
        noteWritten();
        if (list_)
            list_->addName(shown);
        close();
    }

    static inline const QString kQuestion = QStringLiteral(
        "Name is already present in database. Do you wish to update the wrestler (Press Yes) "
        "or name the import name of the wrestler something else (press no)");

    std::vector<std::string> asked_; // the clashing records the question is about
    QLabel* question_ = nullptr;
    QPointer<ui::FilteredList> list_;
    QPointer<ui::FileWatch> watch_;
    QLineEdit* newName_ = nullptr;
    QPushButton* apply_ = nullptr;
    QString name_;                     // the wrestler the question is about
    std::filesystem::path exportFile_; // his exported file
    QLineEdit* nameBox_ = nullptr;     // both shown to those who look for the controls
    QLineEdit* fileBox_ = nullptr;
};

} // namespace

QWidget* createConflictWindow(ui::EditorContext& context, const QString& slot, const QString& name,
                              const std::filesystem::path& exportFile,
                              std::vector<std::string> clashing, ui::FilteredList* list,
                              ui::FileWatch* watch) {
    auto* window = new ConflictWindow(context, slot, list, watch);
    window->fill(name, exportFile, std::move(clashing));
    return window;
}

} // namespace hv::exchange
