// Workbooks made in the tests: a zip (minizip's writer) of the parts given, and the smallest
// parts Excel's packaging needs around one sheet.
#pragma once

#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace pile::schedule::testing {

struct Part {
    std::string name;
    std::string bytes;
    bool stored = false;  // not deflated: its bytes stand in the archive as they are
};

// `repeat` copies of the last part's bytes are written, to make large parts cheaply.
inline std::string ZipOf(const std::vector<Part>& parts, std::size_t repeat = 1) {
    static std::atomic<int> counter{0};
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("pile-workbook-" + std::to_string(counter++) + "-" +
                                        std::to_string(std::random_device{}()) + ".zip");
    zipFile zip = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        zipOpenNewFileInZip64(zip, part.name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              part.stored ? 0 : Z_DEFLATED, part.stored ? 0 : 1, 1);
        for (std::size_t n = 0; n < (i + 1 == parts.size() ? repeat : 1); ++n) {
            zipWriteInFileInZip(zip, part.bytes.data(), static_cast<unsigned>(part.bytes.size()));
        }
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(path);
    return bytes;
}

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
