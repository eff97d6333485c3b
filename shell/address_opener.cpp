#include "shell/address_opener.h"

#include <QDesktopServices>

namespace haojian {
namespace {

class DesktopOpener final : public AddressOpener {
public:
    bool Open(const QUrl& address) override { return QDesktopServices::openUrl(address); }
};

}  // namespace

AddressOpener& DesktopAddressOpener() {
    static DesktopOpener opener;
    return opener;
}

}  // namespace haojian
