#include "shell/main_window.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSizeGrip>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/export/export.h"
#include "core/files/dialog_directory.h"
#include "core/files/file_system.h"
#include "core/lookup/built_in_code_rows.h"
#include "core/lookup/segment_database.h"
#include "core/merge/merge.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "shell/address_opener.h"
#include "shell/application.h"
#include "shell/background_task.h"
#include "shell/bottom_panel.h"
#include "shell/dialogs.h"
#include "shell/failure_text.h"
#include "shell/file_drop.h"
#include "shell/gbk_text.h"
#include "shell/maker.h"
#include "shell/queued_waker.h"
#include "shell/result_list_menu.h"
#include "shell/result_list_view.h"
#include "shell/result_model.h"
#include "shell/statistics_window.h"

namespace haojian {
namespace {

constexpr int kClientWidth = 784;
constexpr int kClientHeight = 562;
constexpr int kOuterWidth = 800;
constexpr int kOuterHeight = 600;

struct ToolButtonInfo {
    const char* name;
    const char16_t* caption;
    const char16_t* tooltip;
    const char* glyph;
    void (TForm1::*command)();
};

// The tool bar's buttons from left to right.
const std::array<ToolButtonInfo, 8> kButtons = {{
    {"SpeedButton4", u"导入", u"导入关键字列表", "import", &TForm1::SpeedButton4Click},
    {"SpeedButton2", u"查询", u"开始手机搜索", "query", &TForm1::SpeedButton2Click},
    {"SpeedButton3", u"终止", u"终止手机搜索", "stop", &TForm1::SpeedButton3Click},
    {"SpeedButton5", u"导出", u"保存搜索结果", "export", &TForm1::SpeedButton5Click},
    {"SpeedButton1", u"合并", u"合并数据文件", "merge", &TForm1::SpeedButton1Click},
    {"SpeedButton6", u"主页", u"访问软件主页", "home", &TForm1::N20Click},
    {"SpeedButton9", u"关于", u"关于本软件", "about", &TForm1::N15Click},
    {"SpeedButton10", u"退出", u"退出软件系统", "exit", &TForm1::SpeedButton10Click},
}};

const std::array<int, 7> kPanelWidths = {88, 70, 88, 70, 88, 70, 0};
const std::array<const char16_t*, 7> kPanelTexts = {
    u"手机号码总数：", u"", u"号码查询进程：", u"", u"号码段数据库：", u"", u""};

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

QStringList TextList(std::span<const std::string_view> gbk_texts) {
    QStringList list;
    for (std::string_view text : gbk_texts) list << FromGbk(text);
    return list;
}

// A hidden holder of one code-table column, as lines.
template <std::size_t N>
void CodeColumn(QObject* parent, const char* name, const std::array<CodeRow, N>& rows, bool names) {
    auto* memo = new QObject(parent);
    memo->setObjectName(QString::fromLatin1(name));
    QStringList lines;
    lines.reserve(qsizetype(N));
    for (const CodeRow& row : rows) lines << FromGbk(names ? row.name : row.code);
    memo->setProperty("lines", lines);
}

QStringList TextFileFilters() {
    return {QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*)")};
}

QStringList MergeFileFilters() {
    return {QStringLiteral(u"文本文件(*.txt)"), QStringLiteral(u"所有文件(*)")};
}

std::vector<std::string> FilePaths(const QStringList& paths) {
    std::vector<std::string> files;
    files.reserve(std::size_t(paths.size()));
    for (const QString& path : paths) files.push_back(FilePath(path));
    return files;
}

}  // namespace

WindowSeams DesktopSeams() {
    const std::string program_directory = ExecutableDirectory();
    return {DesktopDialogs(), DesktopAddressOpener(), RealFileSystem(), program_directory,
            DialogDirectory(program_directory)};
}

TForm1::TForm1(WindowSeams seams, QWidget* parent) : QWidget(parent), seams_(std::move(seams)) {
    setObjectName(QStringLiteral("TForm1"));
    BuildControls();
    FormCreate();
}

TForm1::~TForm1() {
    // Work still running reads the run's rows and the file seam: it ends first.
    delete task_;
    // FormDestroy: the run (and with it the lists) goes first, after its worker has ended.
    if (run_) run_->Shutdown();
    list_->setModel(nullptr);
}

void TForm1::BuildControls() {
    setWindowTitle(MainWindowCaption());
    setWindowIcon(ApplicationIcon());
    setFont(WindowFont());
    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - kOuterWidth) / 2,
             area.y() + (area.height() - kOuterHeight) / 2);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Tool bar.
    auto* cool_bar = new QFrame(this);
    cool_bar->setObjectName(QStringLiteral("CoolBar1"));
    cool_bar->setFixedHeight(30);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ToolButtonInfo& info = kButtons[i];
        auto* button = new QToolButton(cool_bar);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setText(Text(info.caption));
        button->setToolTip(Text(info.tooltip));
        QIcon glyph;
        const QString base = QStringLiteral(":/pictures/glyph_") + QString::fromLatin1(info.glyph);
        glyph.addPixmap(QPixmap(base + QStringLiteral(".png")), QIcon::Normal);
        glyph.addPixmap(QPixmap(base + QStringLiteral("_disabled.png")), QIcon::Disabled);
        button->setIcon(glyph);
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(2 + 60 * int(i), 2, 55, 23);
        connect(button, &QToolButton::clicked, this, info.command);
    }
    import_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton4"));
    export_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton5"));
    merge_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    exit_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton10"));
    query_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton2"));
    stop_ = cool_bar->findChild<QToolButton*>(QStringLiteral("SpeedButton3"));
    layout->addWidget(cool_bar);

    // Filter strip.
    QFrame* strip = BevelledPanel("Panel2", this);
    strip->setFixedHeight(35);
    auto label = [strip](const char* name, int x, const char16_t* text) {
        auto* l = new QLabel(Text(text), strip);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, 12, 60, 13);
    };
    auto combo = [strip](const char* name, int x, std::string_view text, const QStringList& items) {
        auto* box = new QComboBox(strip);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(items);
        box->setCurrentIndex(-1);
        box->setEditText(FromGbk(text));
        box->setGeometry(x, 8, 145, 20);
        return box;
    };
    label("Label2", 10, u"导出选项：");
    filter_boxes_[0] = combo("ComboBox1", 72, text::kAnyProvince, {});
    filter_boxes_[1] = combo("ComboBox2", 232, text::kAnyCity, {});
    filter_boxes_[2] = combo("ComboBox3", 392, text::kAnyCard, TextList(kCardTypeChoices));
    label("Label1", 546, u"导出字段：");
    filter_boxes_[3] = combo("ComboBox4", 608, text::kLayoutNumber, TextList(kLayoutTexts));
    layout->addWidget(strip);

    // Result list; its model comes with the run in FormCreate.
    list_ = new ResultListView(this);
    list_->setObjectName(QStringLiteral("ListView1"));
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setTabKeyNavigation(false);
    layout->addWidget(list_, 1);

    const BottomPanel bottom = MakeBottomPanel(this);
    progress_ = bottom.progress;
    layout->addWidget(bottom.frame);

    // Status bar.
    auto* status = new QFrame(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(19);
    auto* status_layout = new QHBoxLayout(status);
    status_layout->setContentsMargins(0, 1, 0, 0);
    status_layout->setSpacing(2);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new QLabel(Text(kPanelTexts[i]), status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (kPanelWidths[i] > 0) {
            panel->setFixedWidth(kPanelWidths[i]);
            status_layout->addWidget(panel);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            status_layout->addWidget(panel, 1);
        }
        panels_[i] = panel;
    }
    panels_[kPanelMessage]->setText(ContactLine());
    status_layout->addWidget(new QSizeGrip(status), 0, Qt::AlignBottom | Qt::AlignRight);
    layout->addWidget(status);

    // Hidden parts: the code tables' columns, the run's command and the progress timer.
    CodeColumn(this, "Memo3", kBuiltInProvinceRows, false);
    CodeColumn(this, "Memo4", kBuiltInProvinceRows, true);
    CodeColumn(this, "Memo5", kBuiltInCityRows, false);
    CodeColumn(this, "Memo6", kBuiltInCityRows, true);
    (new QObject(this))->setObjectName(QStringLiteral("Button1"));
    task_ = new BackgroundTask(this);
    connect(task_, &BackgroundTask::BusyChanged, this, &TForm1::SetBusy);
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TForm1::Timer1Timer);

    list_->setFocus();
}

void TForm1::FormCreate() {
    // The lists of the run; the result list shows its rows.
    waker_ = std::make_unique<QueuedWaker>(this, [this] {
        if (run_) run_->ProcessHandOff();
    });
    run_ = std::make_unique<QueryRun>(static_cast<RunView&>(*this), *waker_, seams_.files);
    model_ = std::make_unique<ResultModel>(run_->Rows());
    list_->setModel(model_.get());
    new ResultListMenu(list_,
                       {[this] { ShowStatistics(); }, [this] { return run_->RowsSnapshot(); },
                        [this](const QString& text) { ShowMessage(text); }});
    // A list file dropped on the window is imported.
    auto* drop = new FileDrop(
        this, [this] { return import_->isEnabled(); },
        [this](const QString& path) { ImportFile(path); });
    drop->Watch(this);
    drop->Watch(list_->viewport());
    drop->Watch(findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))->viewport());
    const std::array<int, 4> widths = {175, 150, 150, 150};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        list_->horizontalHeader()->resizeSection(int(i), widths[i]);
    }

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
    tips.setColor(QPalette::Window, QColor(0, 255, 0));
    QToolTip::setPalette(tips);

    try {
        std::optional<SegmentDatabase> database =
            LoadSegmentDatabase(seams_.files, seams_.program_directory);
        if (!database) {
            ShowMessage(FromGbk(text::kReminderNoDatabase));
            return;
        }
        const std::size_t lines = database->size();
        run_->SetDatabase(std::move(*database));
        panels_[kPanelDatabaseSize]->setText(QString::number(lines));
    } catch (const std::exception& error) {
        ShowError(WindowFailureText(error, WindowWork::Read));
    }
}

bool TForm1::Busy() const {
    return task_->Busy();
}

QString TForm1::StatusText(int panel) const {
    return panels_.at(std::size_t(panel))->text();
}

void TForm1::ShowMessage(const QString& text) {
    seams_.dialogs.ShowBox(this, {BoxKind::Plain, ApplicationTitle(), text});
}

bool TForm1::Confirm(const QString& text) {
    return seams_.dialogs.ShowBox(this, {BoxKind::Confirm, QStringLiteral(u"确认"), text}) !=
           Answer::No;
}

void TForm1::ShowError(std::string_view gbk_message) {
    ShowErrorBox(seams_.dialogs, this, gbk_message);
}

template <typename F>
void TForm1::Guarded(WindowWork work, F&& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowError(WindowFailureText(error, work));
    }
}

// Import.
void TForm1::SpeedButton4Click() {
    if (!import_->isEnabled()) return;
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral(u"导入手机号码列表文件");
    request.directory = QString::fromStdString(StartDirectory());
    request.name_filters = TextFileFilters();
    request.default_suffix = QStringLiteral("txt");
    const QStringList chosen = seams_.dialogs.ChooseFiles(this, request);
    if (chosen.isEmpty()) return;
    ImportFile(chosen.first());
}

void TForm1::ImportFile(const QString& path) {
    // Refused, as the button is, while a run or an export goes on.
    if (!import_->isEnabled()) return;
    Guarded(WindowWork::Read, [&] { run_->Import(FilePath(path)); });
}

void TForm1::ShowStatistics() {
    if (!statistics_) statistics_ = new StatisticsWindow(this, seams_.dialogs, seams_.files);
    statistics_->ShowFor(run_->Rows());
}

// Query.
void TForm1::SpeedButton2Click() {
    Guarded(WindowWork::Read, [&] { run_->Query(); });
}

// Stop.
void TForm1::SpeedButton3Click() {
    Guarded(WindowWork::Read, [&] { run_->Stop(); });
}

// Export.
void TForm1::SpeedButton5Click() {
    if (task_->Busy()) return;
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = QStringLiteral(u"搜索结果保存为");
    request.directory = QString::fromStdString(StartDirectory());
    request.file_name = filter_boxes_[1]->currentText() + QStringLiteral(".txt");
    request.name_filters = TextFileFilters();
    request.default_suffix = QStringLiteral("txt");
    repaint();
    if (run_->Rows().size() == 0) return;
    const QStringList chosen = seams_.dialogs.ChooseFiles(this, request);
    if (chosen.isEmpty()) return;
    repaint();
    // The export covers the rows there are now; a run may append more meanwhile.
    std::shared_ptr<const ResultTable> rows = run_->RowsSnapshot();
    auto written = std::make_shared<std::size_t>(0);
    StartLongWork(
        LongWork::Export,
        [rows, written, &files = seams_.files, path = FilePath(chosen.first()),
         province = ToGbk(filter_boxes_[0]->currentText()),
         city = ToGbk(filter_boxes_[1]->currentText()),
         card_type = ToGbk(filter_boxes_[2]->currentText()),
         layout = ToGbk(filter_boxes_[3]->currentText())] {
            *written =
                ExportRows(*rows, ExportFilter{province, city, card_type}, layout, path, files);
        },
        [this, written](std::exception_ptr error) {
            Guarded(WindowWork::Save, [&] {
                if (error) std::rethrow_exception(error);
                SetPanelText(kPanelMessage, ExportedStatusText(*written));
            });
        });
}

// Merge.
void TForm1::SpeedButton1Click() {
    if (task_->Busy()) return;
    FileRequest open;
    open.kind = FileRequest::Kind::OpenMany;
    open.title = QStringLiteral(u"选择待合并的数据文件");
    open.directory = merge_open_directory_;
    open.name_filters = MergeFileFilters();
    open.default_suffix = QStringLiteral("txt");
    const QStringList sources = seams_.dialogs.ChooseFiles(this, open);
    if (sources.isEmpty()) return;
    merge_open_directory_ = QFileInfo(sources.first()).absolutePath();

    FileRequest save = open;
    save.kind = FileRequest::Kind::Save;
    save.title = QStringLiteral(u"合并后的数据文件保存为");
    save.directory = merge_save_directory_;
    const QStringList output = seams_.dialogs.ChooseFiles(this, save);
    if (output.isEmpty()) return;
    merge_save_directory_ = QFileInfo(output.first()).absolutePath();

    SetPanelText(kPanelMessage, text::kMergeBusy);
    auto lines = std::make_shared<std::size_t>(0);
    StartLongWork(
        LongWork::Merge,
        [lines, &files = seams_.files, sources = FilePaths(sources),
         output = FilePath(output.first())] { *lines = MergeDataFiles(sources, output, files); },
        [this, lines](std::exception_ptr error) {
            std::optional<std::string> failure;
            try {
                if (error) std::rethrow_exception(error);
                SetPanelText(kPanelMessage, MergedStatusText(*lines));
            } catch (const MergeCutError& cut) {
                // The lines before the NUL byte were written as the result.
                SetPanelText(kPanelMessage, MergedStatusText(cut.line_count()));
                failure = WindowFailureText(cut, WindowWork::Merge);
            } catch (const std::exception& other) {
                failure = WindowFailureText(other, WindowWork::Merge);
            }
            if (failure) ShowError(*failure);
        });
}

void TForm1::StartLongWork(LongWork kind, std::function<void()> work,
                           std::function<void(std::exception_ptr)> done) {
    long_work_ = kind;
    task_->Start(std::move(work), [this, done = std::move(done)](std::exception_ptr error) {
        done(error);
        // A close confirmed while the work ran takes effect now.
        if (close_confirmed_) close();
    });
}

void TForm1::N20Click() {
    seams_.opener.Open(HomePageAddress());
}

void TForm1::N14Click() {
    seams_.opener.Open(ContactAddress());
}

void TForm1::N15Click() {
    if (about_) about_->exec();
}

void TForm1::SpeedButton10Click() {
    close();
}

void TForm1::N23Click() {
    close();
}

void TForm1::Timer1Timer() {
    run_->TimerTick();
}

bool TForm1::FormCloseQuery() {
    return Confirm(QStringLiteral(u"确认退出瓴岚号鉴吗?"));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!close_confirmed_ && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (task_->Busy()) {
        // The work ends first, its file complete and any failure shown; then the window closes.
        // Meanwhile it says so, and takes no new command.
        close_confirmed_ = true;
        panels_[kPanelMessage]->setText(long_work_ == LongWork::Merge
                                            ? QStringLiteral(u"正在合并数据文件，完成后退出...")
                                            : QStringLiteral(u"正在导出搜索结果，完成后退出..."));
        UpdateCommands();
        event->ignore();
        return;
    }
    // A worker still resolving must end before the lists go away.
    run_->Shutdown();
    event->accept();
    emit Closed();
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (windowState() & Qt::WindowMinimized) {
        emit Minimised();
    } else if (statistics_ &&
               (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized)) {
        statistics_->Restore();
    }
}

}  // namespace haojian
