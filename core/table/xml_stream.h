#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace haojian {

// What an XmlStream tells of the XML it is fed. Element names come without their namespace
// (the local name), as workbooks may bind any prefix to their namespaces.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // attributes: name, value, name, value..., ended by a null; names are local too.
    virtual void Start(std::string_view name, const char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    // Character data, in pieces (UTF-8).
    virtual void Text(std::string_view text) = 0;
};

// The value of a (local) attribute name among attributes, or empty.
std::string_view XmlAttribute(const char** attributes, std::string_view name);

// A streaming XML parser (expat) fed a piece at a time; nothing of the document is held.
class XmlStream {
public:
    // part and path name the document in messages.
    XmlStream(XmlHandler& handler, std::string path, std::string part);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Parses the next bytes; last says the document ends with them. Throws TableError
    // (kBrokenXml) naming the part, its line and what expat found.
    void Feed(std::string_view bytes, bool last);

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string path_;
    std::string part_;
};

}  // namespace haojian
