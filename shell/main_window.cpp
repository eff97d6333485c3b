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
#include "core/database/segment_database.h"
#include "core/export/export.h"
#include "core/files/dialog_directory.h"
#include "core/files/file_system.h"
#include "core/lookup/built_in_code_rows.h"
#include "core/merge/merge.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "shell/address_opener.h"
#include "shell/application.h"
#include "shell/bottom_panel.h"
#include "shell/command_dialogs.h"
#include "shell/dialogs.h"
#include "shell/file_drop.h"
#include "shell/gbk_text.h"
#include "shell/maker.h"
#include "shell/queued_waker.h"
#include "shell/result_list_menu.h"
#include "shell/result_list_view.h"
#include "shell/result_model.h"
#include "shell/statistics_window.h"
#include "window/background_thread.h"
#include "window/export_job.h"
#include "window/main_window_layout.h"
#include "window/main_window_texts.h"

namespace haojian {
namespace {

// The handlers of the tool bar's buttons, by ToolButton.
const std::array<void (TForm1::*)(), kToolButtonCount> kButtonCommands = {
    &TForm1::SpeedButton4Click, &TForm1::SpeedButton2Click,  &TForm1::SpeedButton3Click,
    &TForm1::SpeedButton5Click, &TForm1::SpeedButton1Click,  &TForm1::N20Click,
    &TForm1::N15Click,          &TForm1::SpeedButton10Click,
};

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
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
    work_.reset();
    // FormDestroy: the run (and with it the lists) goes first, after its worker has ended.
    if (commands_) commands_->Run().Shutdown();
    list_->setModel(nullptr);
}

void TForm1::BuildControls() {
    setWindowTitle(MainWindowCaption());
    setWindowIcon(ApplicationIcon());
    setFont(WindowFont());
    resize(window_layout::kClientWidth, window_layout::kClientHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - window_layout::kOuterWidth) / 2,
             area.y() + (area.height() - window_layout::kOuterHeight) / 2);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Tool bar.
    auto* cool_bar = new QFrame(this);
    cool_bar->setObjectName(QStringLiteral("CoolBar1"));
    cool_bar->setFixedHeight(window_layout::kCoolBarHeight);
    for (std::size_t i = 0; i < window_text::kToolButtons.size(); ++i) {
        const window_text::ToolButtonText& info = window_text::kToolButtons[i];
        auto* button = new QToolButton(cool_bar);
        button->setObjectName(Latin1(info.name));
        button->setText(QtText(info.caption));
        button->setToolTip(QtText(info.tooltip));
        QIcon glyph;
        const QString base = QStringLiteral(":/pictures/glyph_") + Latin1(info.glyph);
        glyph.addPixmap(QPixmap(base + QStringLiteral(".png")), QIcon::Normal);
        glyph.addPixmap(QPixmap(base + QStringLiteral("_disabled.png")), QIcon::Disabled);
        button->setIcon(glyph);
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(
            window_layout::kToolButtonLeft + window_layout::kToolButtonStep * int(i),
            window_layout::kToolButtonTop, window_layout::kToolButtonWidth,
            window_layout::kToolButtonHeight);
        connect(button, &QToolButton::clicked, this, kButtonCommands[i]);
        buttons_[i] = button;
    }
    layout->addWidget(cool_bar);

    // Filter strip.
    QFrame* strip = BevelledPanel("Panel2", this);
    strip->setFixedHeight(window_layout::kStripHeight);
    auto label = [strip](const char* name, int x, std::u16string_view text) {
        auto* l = new QLabel(QtText(text), strip);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, window_layout::kLabelTop, window_layout::kLabelWidth,
                       window_layout::kLabelHeight);
    };
    auto combo = [strip](const char* name, int x, std::string_view text, const QStringList& items) {
        auto* box = new QComboBox(strip);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(items);
        box->setCurrentIndex(-1);
        box->setEditText(FromGbk(text));
        box->setGeometry(x, window_layout::kBoxTop, window_layout::kBoxWidth,
                         window_layout::kBoxHeight);
        return box;
    };
    label("Label2", window_layout::kLabelLefts[0], window_text::kExportOptionsLabel);
    filter_boxes_[0] = combo("ComboBox1", window_layout::kBoxLefts[0], text::kAnyProvince, {});
    filter_boxes_[1] = combo("ComboBox2", window_layout::kBoxLefts[1], text::kAnyCity, {});
    filter_boxes_[2] =
        combo("ComboBox3", window_layout::kBoxLefts[2], text::kAnyCard, TextList(kCardTypeChoices));
    label("Label1", window_layout::kLabelLefts[1], window_text::kExportFieldsLabel);
    filter_boxes_[3] = combo("ComboBox4", window_layout::kBoxLefts[3], text::kLayoutNumber,
                             TextList(kLayoutBoxItems));
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
    status->setFixedHeight(window_layout::kStatusHeight);
    auto* status_layout = new QHBoxLayout(status);
    status_layout->setContentsMargins(0, 1, 0, 0);
    status_layout->setSpacing(2);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new QLabel(QtText(window_text::kPanelTexts[i]), status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (window_text::kPanelWidths[i] > 0) {
            panel->setFixedWidth(window_text::kPanelWidths[i]);
            status_layout->addWidget(panel);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            status_layout->addWidget(panel, 1);
        }
        panels_[i] = panel;
    }
    panels_[6]->setText(ContactLine());
    status_layout->addWidget(new QSizeGrip(status), 0, Qt::AlignBottom | Qt::AlignRight);
    layout->addWidget(status);

    // Hidden parts: the code tables' columns, the run's command and the progress timer.
    CodeColumn(this, "Memo3", kBuiltInProvinceRows, false);
    CodeColumn(this, "Memo4", kBuiltInProvinceRows, true);
    CodeColumn(this, "Memo5", kBuiltInCityRows, false);
    CodeColumn(this, "Memo6", kBuiltInCityRows, true);
    (new QObject(this))->setObjectName(QStringLiteral("Button1"));
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TForm1::Timer1Timer);

    list_->setFocus();
}

void TForm1::FormCreate() {
    // The lists of the run; the result list shows its rows.
    waker_ = std::make_unique<QueuedWaker>(this, [this] {
        if (commands_) commands_->Run().ProcessHandOff();
    });
    command_dialogs_ = std::make_unique<CommandDialogs>(this, seams_.dialogs, seams_.opener);
    work_ = std::make_unique<BackgroundThread>(
        [this](std::uint64_t id) { PostQueued(this, [this, id] { work_->Finish(id); }); });
    commands_ = std::make_unique<WindowCommands>(
        static_cast<WindowView&>(*this), *command_dialogs_, *work_, *waker_, seams_.files,
        WindowPlaces{seams_.program_directory, seams_.dialog_directory});
    model_ = std::make_unique<ResultModel>(Run().Rows());
    list_->setModel(model_.get());
    new ResultListMenu(
        list_, {[this] { ShowStatistics(); }, [this] { return Run().RowsSnapshot(); },
                [this](const QString& text) { ShowMessage(text); },
                [this] { return commands_->CleanTextLists(); },
                [this](bool on) { commands_->SetCleanTextLists(on); }, [this] { SplitExport(); },
                [this] { return commands_->CanSplitExport(); }});
    // A list file dropped on the window is imported; anything else is refused with a message.
    auto* drop = new FileDrop(
        this, [this] { return commands_->CanImport(); },
        [this](const QStringList& paths) {
            std::vector<std::string> files;
            for (const QString& path : paths) files.push_back(FilePath(path));
            commands_->DropFiles(files);
        });
    drop->Watch(this);
    drop->Watch(list_->viewport());
    drop->Watch(findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))->viewport());
    for (std::size_t i = 0; i < window_text::kColumnWidths.size(); ++i) {
        list_->horizontalHeader()->resizeSection(int(i), window_text::kColumnWidths[i]);
    }

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
    tips.setColor(QPalette::Window, QColor(0, 255, 0));
    QToolTip::setPalette(tips);

    commands_->LoadDatabase();
}

bool TForm1::Busy() const {
    return commands_->Busy();
}

QString TForm1::StatusText(int panel) const {
    return panels_.at(std::size_t(panel))->text();
}

namespace {
std::u16string Utf16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          std::size_t(text.size()));
}
}  // namespace

void TForm1::ShowMessage(const QString& text) {
    commands_->ShowMessage(Utf16(text));
}

bool TForm1::Confirm(const QString& text) {
    return commands_->Confirm(Utf16(text));
}

void TForm1::ShowError(std::string_view gbk_message) {
    commands_->ShowError(gbk_message);
}

void TForm1::SpeedButton4Click() {
    commands_->Import();
}

void TForm1::ImportFile(const QString& path) {
    commands_->ImportFile(FilePath(path));
}

void TForm1::ShowStatistics() {
    commands_->CountStatistics([this](RowStatistics counted) {
        if (!statistics_)
            statistics_ = new StatisticsWindow(this, seams_.dialogs, seams_.opener, seams_.files);
        statistics_->ShowCounts(std::move(counted));
    });
}

void TForm1::SpeedButton2Click() {
    commands_->Query();
}

void TForm1::SpeedButton3Click() {
    commands_->Stop();
}

void TForm1::SpeedButton5Click() {
    commands_->Export();
}

void TForm1::SplitExport() {
    commands_->SplitExport();
}

void TForm1::SpeedButton1Click() {
    commands_->Merge();
}

void TForm1::N20Click() {
    commands_->HomePage();
}

void TForm1::N14Click() {
    commands_->Contact();
}

void TForm1::N15Click() {
    // Not while the window waits to close: the close would tear the About window down.
    if (about_ && commands_->CanShowAbout()) about_->exec();
}

void TForm1::SpeedButton10Click() {
    close();
}

void TForm1::N23Click() {
    close();
}

void TForm1::Timer1Timer() {
    commands_->TimerTick();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!commands_->CloseQuery()) {
        event->ignore();
        return;
    }
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
