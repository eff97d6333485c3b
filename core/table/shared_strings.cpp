#include "core/table/shared_strings.h"

#include "core/table/cell_text.h"
#include "core/table/xml_stream.h"

namespace haojian {
namespace {

class SharedStringsHandler final : public XmlHandler {
public:
    SharedStringsHandler(std::string& texts, std::vector<std::size_t>& ends)
        : texts_(texts), ends_(ends) {}

    void Start(std::string_view name, const char**) override {
        if (name == "si") {
            utf8_.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && phonetic_ == 0) {
            in_text_ = true;
        }
    }
    void End(std::string_view name) override {
        if (name == "t") {
            in_text_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "si") {
            texts_ += CellTextFromUtf8(utf8_);
            ends_.push_back(texts_.size());
        }
    }
    void Text(std::string_view text) override {
        if (in_text_) utf8_ += text;
    }

private:
    std::string& texts_;
    std::vector<std::size_t>& ends_;
    std::string utf8_;
    int phonetic_ = 0;
    bool in_text_ = false;
};

}  // namespace

SharedStrings::SharedStrings(ZipParts& zip, const std::string& part) {
    if (part.empty() || !zip.Has(part)) return;
    SharedStringsHandler handler(texts_, ends_);
    XmlStream xml(handler, zip.path(), part);
    zip.Open(part);
    std::string buffer(std::size_t(1) << 18, '\0');
    for (;;) {
        const std::size_t n = zip.Read(buffer.data(), buffer.size());
        xml.Feed(std::string_view(buffer.data(), n), n == 0);
        if (n == 0) break;
    }
    texts_.shrink_to_fit();
}

}  // namespace haojian
