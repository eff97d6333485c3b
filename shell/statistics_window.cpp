#include "shell/statistics_window.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>

#include "shell/bar_chart.h"
#include "shell/gbk_text.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

QTableWidget* CountsTable(const char* name, std::u16string_view field) {
    auto* table = new QTableWidget(0, 3);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(
        {QtText(field), QtText(window_text::kCountColumn), QtText(window_text::kShareColumn)});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    // A click on a header sorts by that column, as StatisticsView orders it.
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(int(StatisticsColumn::Name), 120);
    table->setColumnWidth(int(StatisticsColumn::Count), 90);
    return table;
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent, Dialogs& dialogs, AddressOpener& opener,
                                   FileSystem& files)
    : QDialog(parent), dialogs_(this, dialogs, opener), files_(files) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QtText(window_text::kStatisticsCaption));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 520);

    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("StatisticsTotal"));
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("StatisticsTables"));
    const char* const names[] = {"ProvinceCounts", "CityCounts", "CardTypeCounts"};
    for (std::size_t t = 0; t < kStatisticsTableCount; ++t) {
        tables_[t] = CountsTable(names[t], window_text::kStatisticsTables[t]);
        tabs->addTab(tables_[t], QtText(window_text::kStatisticsTables[t]));
        connect(tables_[t]->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this, t](int section) {
                    const auto table = StatisticsTable(t);
                    const auto column = StatisticsColumn(section);
                    view_.SortBy(table, column, view_.DescendingAfterClick(table, column));
                    FillTable(t);
                });
    }

    chart_ = new BarChart;
    chart_->setObjectName(QStringLiteral("ProvinceChart"));
    auto* chart_area = new QScrollArea;
    chart_area->setWidget(chart_);
    chart_area->setWidgetResizable(true);

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(tabs);
    split->addWidget(chart_area);
    split->setSizes({360, 400});

    auto* save = new QPushButton(QtText(window_text::kSaveCsvButton));
    save->setObjectName(QStringLiteral("SaveCsv"));
    connect(save, &QPushButton::clicked, this, &StatisticsWindow::SaveCsv);
    auto* save_workbook = new QPushButton(QtText(window_text::kSaveWorkbookButton));
    save_workbook->setObjectName(QStringLiteral("SaveWorkbook"));
    connect(save_workbook, &QPushButton::clicked, this, &StatisticsWindow::SaveWorkbook);
    auto* close = new QPushButton(QtText(window_text::kCloseButton));
    close->setObjectName(QStringLiteral("CloseStatistics"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(total_, 1);
    buttons->addWidget(save);
    buttons->addWidget(save_workbook);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

void StatisticsWindow::ShowCounts(RowStatistics counts) {
    view_.Show(std::move(counts));
    Fill();
    ComeBack();
}

void StatisticsWindow::Restore() {
    if (!isVisible() || !isMinimized()) return;
    ComeBack();
}

void StatisticsWindow::ComeBack() {
    Unminimise();
    show();
    raise();
    activateWindow();
}

void StatisticsWindow::Unminimise() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
}

void StatisticsWindow::Fill() {
    total_->setText(QtText(view_.TotalText()));
    for (std::size_t t = 0; t < kStatisticsTableCount; ++t) FillTable(t);
    const RowStatistics& stats = view_.Statistics();
    std::vector<BarChart::Bar> bars;
    bars.reserve(stats.provinces.names.size());
    for (const NameCount& name : stats.provinces.names)
        bars.emplace_back(FromGbk(name.name), name.count);
    chart_->SetBars(std::move(bars));
}

void StatisticsWindow::FillTable(std::size_t t) {
    QTableWidget* table = tables_[t];
    const auto which = StatisticsTable(t);
    table->clearContents();
    table->setRowCount(int(view_.RowCount(which)));
    for (std::size_t row = 0; row < view_.RowCount(which); ++row) {
        for (const auto column :
             {StatisticsColumn::Name, StatisticsColumn::Count, StatisticsColumn::Share}) {
            auto* item = new QTableWidgetItem(QtText(view_.CellText(which, row, column)));
            if (column != StatisticsColumn::Name)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(int(row), int(column), item);
        }
    }
    // The header shows the order (a click has already turned its own arrow).
    const QSignalBlocker quiet(table->horizontalHeader());
    table->horizontalHeader()->setSortIndicator(
        int(view_.SortColumn(which)),
        view_.SortDescending(which) ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void StatisticsWindow::Save(StatisticsFile kind) {
    SaveStatisticsFile(kind, view_.Statistics(), dialogs_, files_);
}

}  // namespace haojian
