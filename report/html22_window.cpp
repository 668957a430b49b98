// The report window `html22`: the page's settings, the order of its sections and the columns
// of its roster table; "HTML IT!!!" writes the page for the main window's slot.

#include "report_windows.h"

#include "gamefiles/error.h"
#include "gamefiles/system_path.h"
#include "gamefiles/temp_rewrite.h"
#include "ui/byte_text.h"
#include "ui/file_path.h"
#include "ui/messages.h"
#include "ui/stored_text.h"
#include "ui/tool_window.h"
#include "ui/window_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <array>

namespace hv::report {
namespace {

const QStringList kColourNames = {QStringLiteral("Black"), QStringLiteral("White"),
                                  QStringLiteral("Blue"), QStringLiteral("Red"),
                                  QStringLiteral("Yellow")};

class ReportWindow : public ui::ToolWindow {
public:
    explicit ReportWindow(ui::EditorContext& context) : ToolWindow(context) {
        setObjectName(QStringLiteral("html22"));
        setWindowTitle(QLatin1String(kCaption));

        fileName_ = lineEdit("Text1");
        ui::keepOnOneLine(fileName_);
        title_ = lineEdit("Text3");
        storedTitle_.attach(title_, QStringLiteral("Title"));
        background_ = combo("Combo1");
        textColour_ = combo("Combo2");
        border_ = lineEdit("Text2");
        storedBorder_.attach(border_, QStringLiteral("Table Border Size"));
        scroll_ = new QScrollBar(Qt::Horizontal, this);
        scroll_->setObjectName(QStringLiteral("HScroll1"));
        scroll_->setRange(0, 20);
        connect(scroll_, &QScrollBar::valueChanged, this,
                [this](int value) { border_->setText(QString::number(value)); });

        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("List1"));
        auto* up = button("Command2", "^");
        auto* down = button("Command3", "v");
        connect(up, &QPushButton::clicked, this, [this] { moveSection(Move::Up); });
        connect(down, &QPushButton::clicked, this, [this] { moveSection(Move::Down); });

        commish_ = check("Check7", "Show Commish name");
        fedName_ = check("Check8", "Show Fed Name");
        titles_ = check("Check9", "Show Titles");
        feuds_ = check("Check10", "Show Fueds");
        columns_ = {check("Check1", "Draw Rate"),
                    check("Check2", "Entertainment Rate"),
                    check("Check3", "Lower/Middle/High Carder"),
                    check("Check4", "Face/Heel"),
                    check("Check5", "Finisher"),
                    check("Check6", "Morale Rating")};
        auto* write = button("Command1", "HTML IT!!!");
        connect(write, &QPushButton::clicked, this, [this] { writeThePage(); });

        auto* grid = new QGridLayout(this);
        auto* left = new QGridLayout;
        const std::pair<const char*, QWidget*> rows[] = {{"Filename ", fileName_},
                                                         {"Title", title_},
                                                         {"Background Color", background_},
                                                         {"Text Color", textColour_},
                                                         {"Table Border Size", border_}};
        int row = 0;
        for (const auto& [label, box] : rows) {
            auto* caption = new QLabel(QString::fromLatin1(label), this);
            caption->setBuddy(box);
            left->addWidget(caption, row, 0);
            left->addWidget(box, row, 1, 1, box == border_ ? 1 : 2);
            ++row;
        }
        left->addWidget(scroll_, row - 1, 2);
        left->setRowStretch(row, 1);
        // Room for a real path and a scroll bar one can use.
        const int chars = fontMetrics().averageCharWidth();
        fileName_->setMinimumWidth(50 * chars);
        scroll_->setMinimumWidth(12 * chars);
        grid->addLayout(left, 0, 0);

        auto* right = new QGridLayout;
        int r = 0;
        for (auto* box : {commish_, fedName_, titles_, feuds_})
            right->addWidget(box, r++, 0, 1, 2);
        auto* placement = new QLabel(QStringLiteral("Placement"), this);
        placement->setBuddy(list_);
        right->addWidget(placement, r++, 0, 1, 2);
        right->addWidget(list_, r, 0, 2, 1);
        right->addWidget(up, r, 1);
        right->addWidget(down, r + 1, 1);
        grid->addLayout(right, 0, 1);
        grid->setColumnStretch(0, 1);

        auto* columnBoxes = new QGridLayout;
        for (int i = 0; i < 6; ++i)
            columnBoxes->addWidget(columns_[static_cast<std::size_t>(i)], i / 2, i % 2);
        grid->addLayout(columnBoxes, 1, 0, 1, 2);
        grid->addWidget(write, 2, 0, 1, 2);
        list_->setMaximumHeight(80);
        resize(760, 380);

        load();
    }

private:
    QLineEdit* lineEdit(const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    }
    QComboBox* combo(const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(kColourNames);
        box->setCurrentIndex(-1);
        ui::keepOnOneLine(box->lineEdit());
        return box;
    }
    QPushButton* button(const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    }
    QCheckBox* check(const char* name, const char* text) {
        auto* box = new QCheckBox(QString::fromLatin1(text), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(true);
        return box;
    }
    static bool on(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

    void showOrder(const SectionOrder& order) {
        QStringList names;
        for (const auto& name : order)
            names.append(ui::toQt(name));
        ui::refill(list_, names);
    }

    void load() {
        showOrder(defaultOrder());
        ui::selectFirst(list_, QString::fromLatin1(kRoster.data(), kRoster.size()));
        ui::runReported(this, windowTitle(),
                        [&] { writeOrder(context_.settingsDir(), defaultOrder()); });
        ui::runReported(this, windowTitle(), [&] {
            const ReportSettings s = readSettings(context_.settingsDir());
            fileName_->setText(ui::pathText(pathFromBytes(s.file)));
            storedTitle_.set(s.title);
            background_->setEditText(ui::toQt(s.background));
            textColour_->setEditText(ui::toQt(s.text));
            storedBorder_.set(s.border);
        });
    }

    void moveSection(Move move) {
        const auto picked = list_->selectedItems();
        ui::runReported(this, windowTitle(), [&] {
            // With nothing selected the order is written back unchanged.
            const std::string section =
                picked.isEmpty()
                    ? std::string()
                    : ui::fromQtOrRefuse(picked.first()->text(), QStringLiteral("Placement"));
            const SectionOrder order = moved(readOrder(context_.settingsDir()), section, move);
            writeOrder(context_.settingsDir(), order);
            showOrder(order);
        });
    }

    ReportSettings settings() const {
        return {fileNameBytes(), storedTitle_.bytes(),
                ui::fromQtOrRefuse(background_->currentText(), QStringLiteral("Background Color")),
                ui::fromQtOrRefuse(textColour_->currentText(), QStringLiteral("Text Color")),
                storedBorder_.bytes()};
    }

    // The file name is a path, not text of the game's: it is stored as the file system spells
    // it, and refused when that spelling cannot give it back.
    std::string fileNameBytes() const {
        const std::filesystem::path file = ui::pathFromText(fileName_->text());
        std::string bytes = pathBytes(file);
        if (pathFromBytes(bytes) != file)
            throw OperationRefused(
                "The file name in \"Filename\" cannot be stored in options.dat: " + bytes);
        return bytes;
    }

    void writeThePage() {
        ui::runReported(this, windowTitle(), [&] {
            PageOptions o;
            o.settings = settings();
            o.order = readOrder(context_.settingsDir());
            o.commissioner = on(commish_);
            o.fedName = on(fedName_);
            o.titles = on(titles_);
            o.feuds = on(feuds_);
            bool* flags[] = {&o.draw, &o.ent, &o.carder, &o.align, &o.finisher, &o.morale};
            for (std::size_t i = 0; i < columns_.size(); ++i)
                *flags[i] = on(columns_[i]);
            // The settings are remembered only once the page is written.
            const std::size_t mark = replacedMark();
            const auto page =
                writePage(context_.workDir(), ui::gameFolder(context_), slotName(), o);
            const bool same = replacedSince(mark).empty(); // the page held these bytes
            writeSettings(context_.settingsDir(), o.settings);
            ui::showWrittenTo(this,
                              same ? QStringLiteral("Nothing changed in")
                                   : QStringLiteral("Wrote the page to"),
                              page);
        });
    }

    QLineEdit* fileName_ = nullptr;
    QLineEdit* title_ = nullptr;
    QComboBox* background_ = nullptr;
    QComboBox* textColour_ = nullptr;
    QLineEdit* border_ = nullptr;
    ui::StoredText storedTitle_;
    ui::StoredText storedBorder_;
    QScrollBar* scroll_ = nullptr;
    QListWidget* list_ = nullptr;
    QCheckBox* commish_ = nullptr;
    QCheckBox* fedName_ = nullptr;
    QCheckBox* titles_ = nullptr;
    QCheckBox* feuds_ = nullptr;
    std::array<QCheckBox*, 6> columns_{};
};

} // namespace

QWidget* createReportWindow(ui::EditorContext& context) {
    return ui::setUpToolWindow(new ReportWindow(context));
}

} // namespace hv::report
