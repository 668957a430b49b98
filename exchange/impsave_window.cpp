// The exchange window `impsave`: lists the roster, exports the selected wrestler to an
// export file in the working folder, previews a chosen export file and imports it. Export
// files dropped on it are previewed and imported one after another, each clash waiting for
// its conflict window to close before the next file.

#include "exchange_windows.h"

#include "gamefiles/system_path.h"
#include "gamefiles/temp_rewrite.h"

#include "ui/byte_text.h"
#include "ui/file_path.h"
#include "ui/file_watch.h"
#include "ui/list_filter.h"
#include "ui/messages.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <deque>
#include <vector>

namespace hv::exchange {
namespace {

namespace fs = std::filesystem;

// The local export files among dropped items, in their order.
std::vector<fs::path> exportFilesIn(const QMimeData* data) {
    std::vector<fs::path> files;
    for (const QUrl& url : data->urls())
        if (const auto file = ui::pathFromUrl(url);
            file && ui::pathText(file->extension())
                        .endsWith(QLatin1String(kExportExtension), Qt::CaseInsensitive))
            files.push_back(*file);
    return files;
}

class ExchangeWindow : public ui::ToolWindow {
public:
    explicit ExchangeWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("impsave"));
        setWindowTitle(QStringLiteral("Import/Export Wrestlers"));

        list_ = new ui::FilteredList(this);
        list_->setObjectName(QStringLiteral("List1"));
        list_->setAccessibleName(QStringLiteral("Wrestlers"));
        list_->setUniformItemSizes(true);
        auto* exportButton = button("Command1", "Export");
        auto* choose = button("Command3", "Choose File");
        preview_ = new QPlainTextEdit(this);
        preview_->setObjectName(QStringLiteral("Text1"));
        preview_->setReadOnly(true);
        preview_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        preview_->setAcceptDrops(false); // dropped files go to the window
        setAcceptDrops(true);
        auto* importButton = button("Command2", "Import");
        keepSlotBox();

        connect(exportButton, &QPushButton::clicked, this, [this] { exportSelected(); });
        connect(choose, &QPushButton::clicked, this, [this] { chooseFile(); });
        connect(importButton, &QPushButton::clicked, this, [this] { importChosen(); });

        watch_ = new ui::FileWatch(this, [this] { load(); });
        auto* outer = new QVBoxLayout(this);
        outer->addWidget(watch_->bar());
        auto* grid = new QGridLayout;
        outer->addLayout(grid, 1);
        grid->addWidget((new ui::ListFilter(list_))->widget(), 0, 0, 2, 1);
        grid->addWidget(exportButton, 2, 0);
        grid->addWidget(choose, 0, 1);
        grid->addWidget(preview_, 1, 1);
        grid->addWidget(importButton, 2, 1);
        grid->setColumnStretch(1, 1);
        resize(560, 420);

        takeSlotFromContext();
        load();
    }

    // Previews the file; only a file that could be read becomes the one "Import" takes.
    bool choose(const fs::path& file) {
        return ui::runReported(this, QStringLiteral("Choose File"), [&] {
            const std::string text = previewFile(file);
            preview_->setPlainText(ui::toQt(text));
            chosen_ = file;
        });
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (!exportFilesIn(event->mimeData()).empty())
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent* event) override {
        const std::vector<fs::path> files = exportFilesIn(event->mimeData());
        if (files.empty())
            return;
        event->acceptProposedAction();
        importInTurn(files);
    }

public:
    void importInTurn(const std::vector<fs::path>& files) {
        dropped_.insert(dropped_.end(), files.begin(), files.end());
        importDropped();
    }

private:
    QPushButton* button(const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    }
    RosterFile roster() const { return rosterFileFor(context_, slot()); }

    // Also the reload after an outside change, on the slot the window was opened on.
    void load() {
        ui::runReported(this, windowTitle(), [&] {
            const RosterFile file = roster();
            ui::refill(list_, ui::toQtList(wrestlerNames(file)));
            watch_->track({file.file});
        });
    }

    void exportSelected() {
        ui::runReported(this, QStringLiteral("Export"), [&] {
            const auto chosen = list_->selectedText();
            if (!chosen)
                throw OperationRefused("Select the wrestler to export first.");
            const auto name = ui::fromQtOrRefuse(*chosen, QStringLiteral("Name"));
            const fs::path work = context_.workDir();
            const fs::path file = work / pathFromBytes(exportFileName(name));
            const std::size_t mark = replacedMark();
            exportWrestler(roster(), name, file, work);
            ui::showWrittenTo(this,
                              replacedSince(mark).empty()
                                  ? QStringLiteral("Nothing changed in")
                                  : QStringLiteral("Exported %1 to").arg(*chosen),
                              file);
        });
    }

    void chooseFile() {
        const QString file =
            ui::chooseFileToOpen(this, QStringLiteral("Choose File"), QLatin1String(kExportFilter));
        if (!file.isEmpty()) // cancelled: the preview and the chosen file stay
            choose(ui::pathFromText(file));
    }

    // Imports the dropped files in turn until one meets a clash; its conflict window going
    // away resumes the rest.
    void importDropped() {
        while (!dropped_.empty() && !conflict_) {
            const fs::path next = dropped_.front();
            dropped_.pop_front();
            if (choose(next))
                importChosen();
        }
    }

    void importChosen() {
        const QString title = QStringLiteral("Import");
        ui::runReported(this, title, [&] {
            if (chosen_.empty())
                throw OperationRefused("Choose an export file first.");
            const ImportResult result = importWrestler(roster(), chosen_);
            if (result.appended) {
                watch_->noteWritten();
                list_->addName(ui::toQt(result.name));
                return;
            }
            if (conflict_)
                conflict_->close();
            QWidget* conflict = createConflictWindow(context_, slot(), ui::toQt(result.name),
                                                     chosen_, result.clashing, list_, watch_);
            conflict_ = conflict;
            connect(conflict, &QObject::destroyed, this, [this, conflict] {
                if (conflict_.data() != conflict && !conflict_.isNull())
                    return; // replaced by a later clash, which the rest waits for
                conflict_ = nullptr;
                importDropped();
            });
            conflict_->show();
        });
    }

    ui::FilteredList* list_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    ui::FileWatch* watch_ = nullptr;
    fs::path chosen_;              // the file dialog's last chosen file
    std::deque<fs::path> dropped_; // dropped files still to import
    QPointer<QWidget> conflict_;
};

} // namespace

QWidget* createExchangeWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new ExchangeWindow(context));
}

bool chooseExportFile(QWidget* window, const std::filesystem::path& file) {
    auto* exchange = dynamic_cast<ExchangeWindow*>(window);
    if (exchange == nullptr)
        return false;
    exchange->choose(file);
    return true;
}

bool openExportFiles(QWidget* window, const std::vector<std::filesystem::path>& files) {
    if (files.size() == 1)
        return chooseExportFile(window, files.front());
    auto* exchange = dynamic_cast<ExchangeWindow*>(window);
    if (exchange == nullptr)
        return false;
    exchange->importInTurn(files);
    return true;
}

} // namespace hv::exchange
