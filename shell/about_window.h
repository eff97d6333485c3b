#pragma once

#include <QDialog>

#include "shell/address_opener.h"

namespace haojian {

// The About window: product picture, name and version, a banner, and two links (the
// maker's home page and a mail to the maker). Created once and hidden; the About command
// shows it modally above every other window, and its close box hides it again.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 266;
    static constexpr int kClientHeight = 173;

    explicit TForm2(QWidget* parent = nullptr, AddressOpener& opener = DesktopAddressOpener());

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace haojian
