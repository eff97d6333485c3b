// What the window shows of the query run and of work running in the background: the rows,
// the panels, the progress bar, the filter boxes, the timer and the command states.
#include "shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "shell/gbk_text.h"
#include "shell/result_list_view.h"
#include "shell/result_model.h"

namespace haojian {

void TForm1::SetBusyPointer(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TForm1::SetWorkCommandEnabled(WorkCommand command, bool enabled) {
    buttons_[std::size_t(ButtonOf(command))]->setEnabled(enabled);
}

std::string TForm1::FilterText(FilterBox box) const {
    return ToGbk(filter_boxes_.at(std::size_t(box))->currentText());
}

void TForm1::RepaintNow() {
    repaint();
}

void TForm1::CloseConfirmed() {
    close();
}

void TForm1::BringBack() {
    emit BringBackRequested();
    // Without a tray to bring it back.
    if (!isVisible() || isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    }
}

void TForm1::RowsAppended(std::size_t first, std::size_t count) {
    model_->Appended(first, count);
    list_->scrollToBottom();
}

void TForm1::RowsCleared() {
    model_->Cleared();
}

void TForm1::SetPanelText(int panel, std::string_view gbk_text) {
    panels_.at(std::size_t(panel))->setText(FromGbk(gbk_text));
}

void TForm1::SetProgressMaximum(int maximum) {
    progress_->setMaximum(maximum);
}

void TForm1::SetProgressPosition(int position) {
    progress_->setValue(std::clamp(position, progress_->minimum(), progress_->maximum()));
}

void TForm1::SetCommandEnabled(Command command, bool enabled) {
    buttons_[std::size_t(ButtonOf(command))]->setEnabled(enabled);
}

namespace {
void FillBox(QComboBox* box, std::span<const std::string_view> entries) {
    QStringList items;
    items.reserve(qsizetype(entries.size()));
    for (std::string_view entry : entries) items << FromGbk(entry);
    box->clear();
    box->clearEditText();
    box->addItems(items);
    box->setCurrentIndex(items.isEmpty() ? -1 : 0);
}
}  // namespace

void TForm1::FillProvinceBox(std::span<const std::string_view> entries) {
    FillBox(filter_boxes_[0], entries);
}

void TForm1::FillCityBox(std::span<const std::string_view> entries) {
    FillBox(filter_boxes_[1], entries);
}

void TForm1::SetTimerRunning(bool running) {
    if (!running) {
        timer_->stop();
    } else if (!timer_->isActive()) {
        timer_->start();
    }
}

}  // namespace haojian
