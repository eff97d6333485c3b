#include "shell/address_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace haojian {
namespace {

class DesktopOpener final : public AddressOpener {
public:
    void OpenAddress(std::string_view address) override {
        (void)QDesktopServices::openUrl(
            QUrl(QString::fromUtf8(address.data(), qsizetype(address.size())), QUrl::TolerantMode));
    }
};

}  // namespace

AddressOpener& DesktopAddressOpener() {
    static DesktopOpener opener;
    return opener;
}

}  // namespace haojian
