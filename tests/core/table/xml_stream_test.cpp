#include "core/table/xml_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "core/table/table_error.h"

namespace haojian {
namespace {

class Recorder final : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        seen += "<" + std::string(name) + " r=" + std::string(XmlAttribute(attributes, "r")) +
                " id=" + std::string(XmlAttribute(attributes, "id")) + ">";
    }
    void End(std::string_view name) override { seen += "</" + std::string(name) + ">"; }
    void Text(std::string_view text) override { seen += text; }
    std::string seen;
};

TEST(XmlStream, NamesComeWithoutTheirPrefixWhateverTheCut) {
    // Workbooks may put their elements under a prefix, or none.
    const std::string xml =
        "<x:sheetData xmlns:x=\"urn:s\" xmlns:r=\"urn:r\"><x:row r=\"1\"><x:c r=\"A1\" "
        "r:id=\"7\">&lt;1&gt;</x:c></x:row></x:sheetData>";
    for (std::size_t cut = 0; cut <= xml.size(); cut += 5) {
        Recorder recorder;
        XmlStream stream(recorder, "book.xlsx", "sheet1.xml");
        stream.Feed(xml.substr(0, cut), false);
        stream.Feed(xml.substr(cut), true);
        EXPECT_EQ(recorder.seen,
                  "<sheetData r= id=><row r=1 id=><c r=A1 id=7><1></c></row></sheetData>");
    }
    Recorder recorder;
    XmlStream broken(recorder, "book.xlsx", "sheet1.xml");
    try {
        broken.Feed("<row><c></row>", true);
        ADD_FAILURE() << "broken XML was taken";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::Kind::kBrokenXml);
        EXPECT_NE(e.reason().find("sheet1.xml"), std::string::npos) << e.reason();
    }
}

}  // namespace
}  // namespace haojian
