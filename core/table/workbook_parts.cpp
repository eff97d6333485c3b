#include "core/table/workbook_parts.h"

#include <map>

#include "core/table/table_error.h"
#include "core/table/xml_stream.h"

namespace haojian {
namespace {

// The relations of one part: Id to type and target.
struct Relation {
    std::string type;
    std::string target;
};

class RelationsHandler final : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        relations[std::string(XmlAttribute(attributes, "Id"))] = {
            std::string(XmlAttribute(attributes, "Type")),
            std::string(XmlAttribute(attributes, "Target"))};
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::map<std::string, Relation> relations;
};

class WorkbookHandler final : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "sheet") {
            WorkbookParts::Sheet sheet;
            sheet.name = XmlAttribute(attributes, "name");
            const std::string_view state = XmlAttribute(attributes, "state");
            sheet.visible = state.empty() || state == "visible";
            ids.emplace_back(XmlAttribute(attributes, "id"));
            sheets.push_back(std::move(sheet));
        } else if (name == "workbookPr") {
            const std::string_view date1904_value = XmlAttribute(attributes, "date1904");
            date1904 = date1904_value == "1" || date1904_value == "true";
        }
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::vector<WorkbookParts::Sheet> sheets;
    std::vector<std::string> ids;
    bool date1904 = false;
};

void Parse(ZipParts& zip, const std::string& part, XmlHandler& handler) {
    XmlStream xml(handler, zip.path(), part);
    xml.Feed(zip.ReadWhole(part), true);
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A relation's target as a part name: relative to folder unless it starts at the root, with
// "." and ".." resolved.
std::string PartName(std::string_view folder, std::string_view target) {
    std::string joined = target.starts_with("/") ? std::string(target.substr(1))
                                                 : std::string(folder) + std::string(target);
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= joined.size()) {
        std::size_t slash = joined.find('/', from);
        if (slash == std::string::npos) slash = joined.size();
        const std::string name = joined.substr(from, slash - from);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        from = slash + 1;
    }
    std::string part;
    for (const std::string& name : names) part += (part.empty() ? "" : "/") + name;
    return part;
}

}  // namespace

WorkbookParts ReadWorkbookParts(ZipParts& zip) {
    std::string workbook = "xl/workbook.xml";
    if (zip.Has("_rels/.rels")) {
        RelationsHandler root;
        Parse(zip, "_rels/.rels", root);
        for (const auto& [id, relation] : root.relations) {
            if (EndsWith(relation.type, "/officeDocument"))
                workbook = PartName("", relation.target);
        }
    }
    if (!zip.Has(workbook)) {
        throw TableError(TableError::Kind::kDamaged, zip.path(),
                         "a zip that holds no workbook (no " + workbook + ")");
    }
    const std::size_t slash = workbook.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : workbook.substr(0, slash + 1);
    const std::string relations_part = folder + "_rels/" + workbook.substr(folder.size()) + ".rels";

    WorkbookHandler book;
    Parse(zip, workbook, book);
    RelationsHandler relations;
    if (zip.Has(relations_part)) Parse(zip, relations_part, relations);

    WorkbookParts parts;
    parts.date1904 = book.date1904;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        WorkbookParts::Sheet& sheet = book.sheets[i];
        const auto it = relations.relations.find(book.ids[i]);
        if (it == relations.relations.end()) continue;  // a sheet with no part: nothing to read
        sheet.part = PartName(folder, it->second.target);
        sheet.worksheet = EndsWith(it->second.type, "/worksheet");
        parts.sheets.push_back(std::move(sheet));
    }
    for (const auto& [id, relation] : relations.relations) {
        if (EndsWith(relation.type, "/sharedStrings")) {
            parts.shared_strings = PartName(folder, relation.target);
        }
        if (EndsWith(relation.type, "/styles")) parts.styles = PartName(folder, relation.target);
    }
    return parts;
}

}  // namespace haojian
