// Any bytes as a workbook: the zip, the XML of its parts, the cells, the schedule of the sheet,
// checked as fuzz/workbook_check.h says. Almost every change to a zip breaks its checksums, so
// this target mostly explores the zip layer; fuzz_workbook_parts explores the XML.
// Seeds: the workbooks of scripts/make-test-workbooks and the results and template workbooks
// pile_batch writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/workbook_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(bytes), size);
    // Half the inputs ask for a sheet by name, the name taken from the input's last bytes.
    const std::string sheet = size % 2 == 0 ? "" : std::string(file.substr(size - size % 7));
    pile::fuzz::CheckWorkbook(file, sheet);
    return 0;
}
