// The smallest parts Excel's packaging needs around one sheet, for the tests to zip (and the
// fuzz target that zips what it is given). No zip library here: minizip's zip.h and libzip's
// have the same name.
#pragma once

#include <string>
#include <vector>

namespace pile::schedule::testing {

struct Part {
    std::string name;
    std::string bytes;
    bool stored = false;  // not deflated: its bytes stand in the archive as they are
};

inline constexpr char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr char kRelations[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A worksheet part around the rows ("<row r=\"1\">...</row>") and what follows sheetData.
inline std::string SheetXml(const std::string& rows, const std::string& after = "") {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") + kMain +
           "\"><sheetData>" + rows + "</sheetData>" + after + "</worksheet>";
}

// The parts of a workbook with the sheet "Sheet1" (and shared strings when given); the sheet
// part last, so that ZipOf can repeat it.
inline std::vector<Part> WorkbookParts(const std::string& sheet, const std::string& shared = "") {
    const std::string rels = std::string(kRelations) + "/";
    std::vector<Part> parts = {
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rels + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" +
                                kRelations +
                                "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
                                "r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rels + "worksheet\" Target=\"worksheets/sheet1.xml\"/>" +
             (shared.empty() ? ""
                             : "<Relationship Id=\"rId2\" Type=\"" + rels +
                                   "sharedStrings\" Target=\"sharedStrings.xml\"/>") +
             "</Relationships>"},
    };
    if (!shared.empty()) {
        parts.push_back({"xl/sharedStrings.xml",
                         std::string("<sst xmlns=\"") + kMain + "\">" + shared + "</sst>"});
    }
    parts.push_back({"xl/worksheets/sheet1.xml", sheet});
    return parts;
}

}  // namespace pile::schedule::testing
