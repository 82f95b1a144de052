#include "schedule/xlsx_package.h"

#include <map>
#include <vector>

#include "engine/utf_text.h"

namespace pile::schedule::xlsx {
namespace {

std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

struct Relationship {
    std::string type;
    std::string target;  // resolved to a part name
};

// "xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml".
std::string Resolved(std::string_view source, std::string_view target) {
    std::vector<std::string> segments;
    if (!target.empty() && target.front() == '/') {
        target.remove_prefix(1);
    } else {
        std::string_view folder = source.substr(0, source.rfind('/') + 1);
        while (!folder.empty()) {
            const std::size_t slash = folder.find('/');
            segments.emplace_back(folder.substr(0, slash));
            folder.remove_prefix(slash + 1);
        }
    }
    while (!target.empty()) {
        const std::size_t slash = target.find('/');
        const std::string_view segment = target.substr(0, slash);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.emplace_back(segment);
        }
        target.remove_prefix(slash == std::string_view::npos ? target.size() : slash + 1);
    }
    std::string path;
    for (const std::string& segment : segments) {
        path += (path.empty() ? "" : "/") + segment;
    }
    return path;
}

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelsOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? "" : part.substr(0, slash + 1);
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class RelsHandler : public XmlHandler {
  public:
    explicit RelsHandler(std::string source) : source_(std::move(source)) {}
    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name != "Relationship" || Attribute(attributes, "TargetMode") == "External") {
            return;
        }
        const auto id = Attribute(attributes, "Id");
        const auto type = Attribute(attributes, "Type");
        const auto target = Attribute(attributes, "Target");
        if (id && type && target) {
            byId.emplace(std::string(*id),
                         Relationship{std::string(*type), Resolved(source_, *target)});
        }
    }
    void End(std::string_view) override {}

    // The first target of a type ending in `kind` ("/officeDocument"): the transitional and
    // the strict namespaces differ only before it.
    std::optional<std::string> OfType(std::string_view kind) const {
        for (const auto& [id, relation] : byId) {
            if (EndsWith(relation.type, kind)) {
                return relation.target;
            }
        }
        return std::nullopt;
    }

    std::map<std::string, Relationship> byId;

  private:
    std::string source_;
};

struct SheetEntry {
    std::string name;
    std::string relationId;
    bool visible = true;
};

class WorkbookHandler : public XmlHandler {
  public:
    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name != "sheet") {
            return;
        }
        SheetEntry sheet;
        sheet.name = std::string(Attribute(attributes, "name").value_or(""));
        sheet.relationId = std::string(Attribute(attributes, "id").value_or(""));
        const auto state = Attribute(attributes, "state");
        sheet.visible = !state || *state == "visible";
        sheets.push_back(std::move(sheet));
    }
    void End(std::string_view) override {}
    std::vector<SheetEntry> sheets;
};

// Which zip this is when it holds no Office Open XML workbook.
std::u16string NotAWorkbook(const Archive& archive) {
    if (archive.Has("xl/workbook.bin")) {
        return u"这是 Excel 二进制工作簿（.xlsb），读不了；请" + kSaveAs;
    }
    if (archive.Has("content.xml") || archive.Has("mimetype")) {
        return std::u16string(
            u"这是 OpenDocument 表格（.ods），读不了；请另存为“Excel 2007-365 (.xlsx)”或 CSV");
    }
    return u"是 zip 压缩包，但不是 Excel 工作簿；能读的是 .xlsx 工作簿和 CSV 文件";
}

std::u16string SheetNames(const std::vector<SheetEntry>& sheets) {
    std::u16string names;
    for (std::size_t i = 0; i < sheets.size() && i < 10; ++i) {
        names += (i == 0 ? u"「" : u"、「") + U16(sheets[i].name) + u"」";
    }
    return sheets.size() > 10 ? names + u"等" : names;
}

}  // namespace

std::variant<ChosenSheet, std::u16string> ChooseSheet(const Archive& archive,
                                                      const PartParser& parse,
                                                      std::string_view sheet) {
    if (!archive.Has("_rels/.rels")) {
        return NotAWorkbook(archive);
    }
    RelsHandler root("");
    if (auto why = parse("_rels/.rels", root)) {
        return *why;
    }
    const std::optional<std::string> workbookPart = root.OfType("/officeDocument");
    if (!workbookPart || EndsWith(Folded(*workbookPart), ".bin") || !archive.Has(*workbookPart)) {
        return NotAWorkbook(archive);
    }
    WorkbookHandler workbook;
    if (auto why = parse(*workbookPart, workbook)) {
        return *why;
    }
    RelsHandler rels(*workbookPart);
    if (archive.Has(RelsOf(*workbookPart))) {
        if (auto why = parse(RelsOf(*workbookPart), rels)) {
            return *why;
        }
    }
    const auto isWorksheet = [&](const SheetEntry& entry) {
        const auto relation = rels.byId.find(entry.relationId);
        return relation != rels.byId.end() && EndsWith(relation->second.type, "/worksheet");
    };

    const SheetEntry* chosen = nullptr;
    for (const SheetEntry& entry : workbook.sheets) {
        if (entry.name == (sheet.empty() ? std::string_view("桩表") : sheet)) {
            chosen = &entry;
            break;
        }
    }
    if (chosen == nullptr && !sheet.empty()) {
        return u"工作簿中没有名为「" + U16(sheet) + u"」的工作表；有 " +
               SheetNames(workbook.sheets);
    }
    if (chosen == nullptr) {
        for (const SheetEntry& entry : workbook.sheets) {
            if (entry.visible && isWorksheet(entry)) {
                chosen = &entry;
                break;
            }
        }
    }
    if (chosen == nullptr) {
        return std::u16string(u"工作簿中没有工作表");
    }
    const std::u16string name = U16(chosen->name);
    if (!isWorksheet(*chosen)) {
        return u"「" + name + u"」不是工作表（是图表或对话框）";
    }
    ChosenSheet result{chosen->name, rels.byId.at(chosen->relationId).target, std::nullopt};
    if (const auto part = rels.OfType("/sharedStrings"); part && archive.Has(*part)) {
        result.sharedStrings = *part;
    }
    return result;
}

}  // namespace pile::schedule::xlsx
