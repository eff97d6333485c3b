#include "shell/statistics_window.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>

#include "core/base/error.h"
#include "core/export/statistics_csv.h"
#include "shell/bar_chart.h"
#include "shell/dialogs.h"
#include "shell/gbk_text.h"
#include "window/failure_text.h"

namespace haojian {
namespace {

enum Column { kName, kCount, kShare };

// A cell that sorts by the count of its row rather than by its text. Equal counts keep the
// order they were counted in (by the collation of their names), so that the table, sorted
// either way, is the list counted or that list the other way round.
class CountItem : public QTableWidgetItem {
public:
    CountItem(const QString& text, std::size_t count, int rank)
        : QTableWidgetItem(text), count_(count), rank_(rank) {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto& that = static_cast<const CountItem&>(other);
        return count_ != that.count_ ? count_ < that.count_ : rank_ > that.rank_;
    }

private:
    std::size_t count_;
    int rank_;
};

QTableWidget* CountsTable(const char* name, const QString& field) {
    auto* table = new QTableWidget(0, 3);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels({field, QStringLiteral(u"数量"), QStringLiteral(u"占比")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(kName, 120);
    table->setColumnWidth(kCount, 90);
    return table;
}

void FillTable(QTableWidget* table, const FieldCounts& counts) {
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(int(counts.names.size()));
    for (int row = 0; row < int(counts.names.size()); ++row) {
        const NameCount& name = counts.names[std::size_t(row)];
        table->setItem(row, kName, new QTableWidgetItem(FromGbk(name.name)));
        table->setItem(row, kCount, new CountItem(QString::number(name.count), name.count, row));
        table->setItem(
            row, kShare,
            new CountItem(QString::fromStdString(counts.PercentText(name.count)), name.count, row));
    }
    // Largest first, as counted; a click on a header sorts by that column.
    table->setSortingEnabled(true);
    table->sortByColumn(kCount, Qt::DescendingOrder);
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent, Dialogs& dialogs, FileSystem& files)
    : QDialog(parent), dialogs_(dialogs), files_(files) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral(u"统计"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 520);

    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("StatisticsTotal"));
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("StatisticsTables"));
    tables_[0] = CountsTable("ProvinceCounts", QStringLiteral(u"省份"));
    tables_[1] = CountsTable("CityCounts", QStringLiteral(u"城市"));
    tables_[2] = CountsTable("CardTypeCounts", QStringLiteral(u"卡类"));
    tabs->addTab(tables_[0], QStringLiteral(u"省份"));
    tabs->addTab(tables_[1], QStringLiteral(u"城市"));
    tabs->addTab(tables_[2], QStringLiteral(u"卡类"));

    chart_ = new BarChart;
    chart_->setObjectName(QStringLiteral("ProvinceChart"));
    auto* chart_area = new QScrollArea;
    chart_area->setWidget(chart_);
    chart_area->setWidgetResizable(true);

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(tabs);
    split->addWidget(chart_area);
    split->setSizes({360, 400});

    auto* save = new QPushButton(QStringLiteral(u"保存为CSV..."));
    save->setObjectName(QStringLiteral("SaveCsv"));
    connect(save, &QPushButton::clicked, this, &StatisticsWindow::SaveCsv);
    auto* close = new QPushButton(QStringLiteral(u"关闭"));
    close->setObjectName(QStringLiteral("CloseStatistics"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(total_, 1);
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
}

void StatisticsWindow::ShowCounts(RowStatistics counts) {
    stats_ = std::move(counts);
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
    total_->setText(QStringLiteral(u"共计：%1 条").arg(stats_.provinces.total));
    FillTable(tables_[0], stats_.provinces);
    FillTable(tables_[1], stats_.cities);
    FillTable(tables_[2], stats_.card_types);
    std::vector<BarChart::Bar> bars;
    bars.reserve(stats_.provinces.names.size());
    for (const NameCount& name : stats_.provinces.names)
        bars.emplace_back(FromGbk(name.name), name.count);
    chart_->SetBars(std::move(bars));
}

void StatisticsWindow::SaveCsv() {
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral(u"统计结果保存为");
    request.file_name = QStringLiteral(u"统计.csv");
    request.name_filters = {QStringLiteral(u"CSV文件(*.csv)"), QStringLiteral(u"所有文件(*)")};
    request.default_suffix = QStringLiteral("csv");
    const QStringList chosen = dialogs_.ChooseFiles(this, request);
    if (chosen.isEmpty()) return;
    try {
        SaveStatisticsCsv(stats_, FilePath(chosen.first()), files_);
    } catch (const std::exception& error) {
        ShowErrorBox(dialogs_, this, WindowFailureText(error, WindowWork::Save));
    }
}

}  // namespace haojian
