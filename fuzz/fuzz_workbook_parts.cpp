// The parts of a workbook, zipped here into a sound archive, as a workbook: the XML of the
// sheet, the shared strings, the workbook and its relationships, the cells and the merges,
// checked as fuzz/workbook_check.h says. The zip stays valid, so every input reaches the XML.
//
// The input is the parts in this order, each ended by a NUL byte (which no XML may hold):
//   sheet, shared strings, workbook, workbook relationships, package relationships,
//   [Content_Types].xml
// A part the input does not reach is the one a workbook of one sheet "Sheet1" has (the shared
// strings empty). Seeds: scripts/make-fuzz-seeds from the workbook_reader seeds.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/workbook_check.h"
#include "testing/workbook_parts.h"

namespace {

using pile::schedule::testing::Part;

constexpr char kContentTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";

// Stored, not deflated: inflating is the other target's ground, and this one runs faster.
std::string Zipped(const std::vector<Part>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    PILE_REQUIRE(buffer != nullptr);
    zip_source_keep(buffer);  // zip_close would free it; its bytes are read after
    zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    PILE_REQUIRE(zip != nullptr);
    for (const Part& part : parts) {
        zip_source_t* source = zip_source_buffer(zip, part.bytes.data(), part.bytes.size(), 0);
        PILE_REQUIRE(source != nullptr);
        const zip_int64_t index = zip_file_add(zip, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        PILE_REQUIRE(index >= 0);
        const auto at = static_cast<zip_uint64_t>(index);
        PILE_REQUIRE(zip_set_file_compression(zip, at, ZIP_CM_STORE, 0) == 0);
        PILE_REQUIRE(zip_file_set_mtime(zip, at, 0, 0) == 0);  // the same input, the same archive
    }
    PILE_REQUIRE(zip_close(zip) == 0);
    std::string bytes;
    PILE_REQUIRE(zip_source_open(buffer) == 0);
    PILE_REQUIRE(zip_source_seek(buffer, 0, SEEK_END) == 0);
    bytes.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
    PILE_REQUIRE(zip_source_seek(buffer, 0, SEEK_SET) == 0);
    PILE_REQUIRE(zip_source_read(buffer, bytes.data(), bytes.size()) ==
                 static_cast<zip_int64_t>(bytes.size()));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::string> given;
    while (!input.empty()) {
        const std::size_t end = input.find('\0');
        given.emplace_back(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    // With shared strings, so that the workbook's relationships name their part.
    std::vector<Part> parts =
        pile::schedule::testing::WorkbookParts(given.empty() ? "" : given[0], " ");
    parts.push_back({"[Content_Types].xml", kContentTypes, false});
    const char* const order[] = {
        "xl/worksheets/sheet1.xml",   "xl/sharedStrings.xml", "xl/workbook.xml",
        "xl/_rels/workbook.xml.rels", "_rels/.rels",          "[Content_Types].xml"};
    for (std::size_t i = 1; i < given.size() && i < std::size(order); ++i) {
        for (Part& part : parts) {
            if (part.name == order[i]) {
                part.bytes = given[i];
            }
        }
    }
    pile::fuzz::CheckWorkbook(Zipped(parts), "");
    return 0;
}
