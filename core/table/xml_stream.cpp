#include "core/table/xml_stream.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <new>
#include <utility>
#include <vector>

#include "core/table/table_error.h"

namespace haojian {
namespace {

// A name without its prefix ("x:c" is "c"). Workbooks bind their namespaces to any prefix or
// none, and their element names do not repeat across the namespaces a reader looks at, so the
// local name is enough; expat's namespace processing, which would build a full name for every
// element and attribute, is left off.
std::string_view LocalName(const XML_Char* name) {
    const std::string_view full(name);
    const std::size_t cut = full.rfind(':');
    return cut == std::string_view::npos ? full : full.substr(cut + 1);
}

}  // namespace

// The parser and what its callbacks need. A handler's failure is kept and thrown once expat
// has returned, never through its C frames.
struct XmlStream::State {
    explicit State(XmlHandler& h) : handler(h), parser(XML_ParserCreate(nullptr)) {
        if (parser == nullptr) throw std::bad_alloc();
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &OnStart, &OnEnd);
        XML_SetCharacterDataHandler(parser, &OnText);
    }
    ~State() { XML_ParserFree(parser); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    template <typename F>
    void Guard(F&& f) {
        if (failure) return;
        try {
            f();
        } catch (...) {
            failure = std::current_exception();
            XML_StopParser(parser, XML_FALSE);
        }
    }

    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& s = *static_cast<State*>(data);
        s.Guard([&] {
            s.attributes.clear();
            for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
                // Declarations of namespaces are no attributes of the element ("xmlns:r" would
                // pass for "r").
                const std::string_view full(a[0]);
                if (full == "xmlns" || full.starts_with("xmlns:")) continue;
                // A local name is the tail of expat's own string, so it stays terminated.
                s.attributes.push_back(LocalName(a[0]).data());
                s.attributes.push_back(a[1]);
            }
            s.attributes.push_back(nullptr);
            s.handler.Start(LocalName(name), s.attributes.data());
        });
    }
    static void XMLCALL OnEnd(void* data, const XML_Char* name) {
        auto& s = *static_cast<State*>(data);
        s.Guard([&] { s.handler.End(LocalName(name)); });
    }
    static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<State*>(data);
        s.Guard([&] { s.handler.Text(std::string_view(text, std::size_t(length))); });
    }

    XmlHandler& handler;
    XML_Parser parser;
    std::exception_ptr failure;
    std::vector<const char*> attributes;
};

std::string_view XmlAttribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; *a != nullptr; a += 2) {
        if (name == a[0]) return a[1];
    }
    return {};
}

XmlStream::XmlStream(XmlHandler& handler, std::string path, std::string part)
    : state_(std::make_unique<State>(handler)), path_(std::move(path)), part_(std::move(part)) {}

XmlStream::~XmlStream() = default;

void XmlStream::Feed(std::string_view bytes, bool last) {
    for (;;) {
        const std::size_t piece = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
        const bool final = last && piece == bytes.size();
        const XML_Status status =
            XML_Parse(state_->parser, bytes.data(), int(piece), final ? XML_TRUE : XML_FALSE);
        if (state_->failure) std::rethrow_exception(std::exchange(state_->failure, nullptr));
        if (status != XML_STATUS_OK) {
            throw TableError(TableError::Kind::kBrokenXml, path_,
                             "damaged workbook: the XML of " + part_ + " is broken at line " +
                                 std::to_string(XML_GetCurrentLineNumber(state_->parser)) + " (" +
                                 XML_ErrorString(XML_GetErrorCode(state_->parser)) + ")");
        }
        bytes.remove_prefix(piece);
        if (bytes.empty()) break;
    }
}

}  // namespace haojian
