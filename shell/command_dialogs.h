#pragma once

#include <QString>
#include <QStringList>

#include "window/window_seams.h"

class QWidget;

namespace haojian {

class AddressOpener;
class Dialogs;

// The commands' dialogs, boxes and addresses, shown through the window's Qt seams. The merge
// dialogs start where their own last choice was.
// The names of a Qt file dialog's filters ("Text files(*.txt)").
QStringList NameFilters(FileChoice::Filters filters);

class CommandDialogs final : public WindowDialogs {
public:
    CommandDialogs(QWidget* parent, Dialogs& dialogs, AddressOpener& opener)
        : parent_(parent), dialogs_(dialogs), opener_(opener) {}

    std::vector<std::string> ChooseFiles(const FileChoice& choice) override;
    Answer ShowBox(const MessageBoxRequest& request) override;
    std::optional<std::size_t> ChooseFromList(const ListChoice& choice) override;
    void OpenAddress(std::string_view address) override;
    std::string ChooseFolder(const FolderChoice& choice) override;
    std::optional<SplitExportChoice> ChooseSplitExport(const SplitExportChoice& proposed) override;

private:
    QWidget* parent_;
    Dialogs& dialogs_;
    AddressOpener& opener_;
    QString merge_sources_directory_;
    QString merge_output_directory_;
    QString split_directory_;
};

}  // namespace haojian
