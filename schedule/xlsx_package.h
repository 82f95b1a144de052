// The packaging room of the workbook reader: from the package's relationships to the
// workbook part, its list of sheets, and the one sheet to read.
//
// It guards the choice of sheet: a zip that is no Office Open XML workbook (.xlsb, .ods, any
// other zip) is told for what it is, a sheet asked for by name must be there, and the sheet
// read must be a worksheet (not a chart or a dialog), or the reader would read the wrong part.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "schedule/xlsx_xml.h"
#include "schedule/xlsx_zip.h"

namespace pile::schedule::xlsx {

struct ChosenSheet {
    std::string name;                          // UTF-8
    std::string part;                          // of the worksheet
    std::optional<std::string> sharedStrings;  // the part, when the workbook has one
};

// The sheet named `sheet` (UTF-8), or when empty the sheet named "桩表", else the first
// visible worksheet; the reason when there is none to read.
std::variant<ChosenSheet, std::u16string> ChooseSheet(const Archive& archive,
                                                      const PartParser& parse,
                                                      std::string_view sheet);

}  // namespace pile::schedule::xlsx
