// The exchange window `impsave`: lists the roster, exports the selected wrestler to an
// export file in the working folder, previews a chosen export file and imports it.

#include "exchange_windows.h"

#include "ui/byte_text.h"
#include "ui/messages.h"
#include "ui/window_support.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace hv::exchange {
namespace {

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

class ExchangeWindow : public QWidget {
public:
    explicit ExchangeWindow(ui::EditorContext& context) : context_(context) {
        setObjectName(QStringLiteral("impsave"));
        setWindowTitle(QStringLiteral("Import/Export Wrestlers"));

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setUniformItemSizes(true);
        auto* exportButton = button("Command1", "Export");
        auto* choose = button("Command3", "Choose File");
        preview_ = new QPlainTextEdit(this);
        preview_->setObjectName(QStringLiteral("Text1"));
        preview_->setReadOnly(true);
        preview_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        auto* importButton = button("Command2", "Import");
        hid_ = ui::hiddenBox(this, QStringLiteral("hid"));

        connect(exportButton, &QPushButton::clicked, this, [this] { exportSelected(); });
        connect(choose, &QPushButton::clicked, this, [this] { chooseFile(); });
        connect(importButton, &QPushButton::clicked, this, [this] { importChosen(); });

        auto* grid = new QGridLayout(this);
        grid->addWidget(list_, 0, 0, 2, 1);
        grid->addWidget(exportButton, 2, 0);
        grid->addWidget(choose, 0, 1);
        grid->addWidget(preview_, 1, 1);
        grid->addWidget(importButton, 2, 1);
        grid->setColumnStretch(1, 1);
        resize(560, 420);

        load();
    }

private:
    QPushButton* button(const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    }
    RosterFile roster() const { return rosterFileFor(context_, hid_->text()); }

    void load() {
        hid_->setText(context_.currentSlot());
        ui::runReported(this, windowTitle(),
                        [&] { ui::refill(list_, ui::toQtList(wrestlerNames(roster()))); });
    }

    void exportSelected() {
        ui::runReported(this, QStringLiteral("Export"), [&] {
            const auto chosen = list_->selectedItems();
            if (chosen.isEmpty())
                throw OperationRefused("Select the wrestler to export first.");
            const auto name = ui::fromQtOrRefuse(chosen.first()->text(), QStringLiteral("Name"));
            exportWrestler(roster(), name, context_.workDir() / exportFileName(name));
        });
    }

    void chooseFile() {
        const QString file =
            ui::chooseFileToOpen(this, QStringLiteral("Choose File"), QLatin1String(kExportFilter));
        if (file.isEmpty())
            return; // cancelled: the preview and the chosen file stay
        ui::runReported(this, QStringLiteral("Choose File"), [&] {
            const std::string text = previewFile(toPath(file));
            // Only a file that could be read becomes the one "Import" takes.
            preview_->setPlainText(ui::toQt(text));
            chosen_ = file;
        });
    }

    void importChosen() {
        ui::runReported(this, QStringLiteral("Import"), [&] {
            if (chosen_.isEmpty())
                throw OperationRefused("Choose an export file first.");
            const ImportResult result = importWrestler(roster(), toPath(chosen_));
            if (result.appended) {
                list_->addItem(ui::toQt(result.name));
                return;
            }
            if (conflict_)
                conflict_->close();
            conflict_ =
                createConflictWindow(context_, hid_->text(), ui::toQt(result.name), chosen_, list_);
            conflict_->show();
        });
    }

    ui::EditorContext& context_;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLineEdit* hid_ = nullptr;
    QString chosen_; // the file dialog's last chosen file
    QPointer<QWidget> conflict_;
};

} // namespace

QWidget* createExchangeWindow(ui::EditorContext& context) {
    return new ExchangeWindow(context);
}

} // namespace hv::exchange
