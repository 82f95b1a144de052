#include "schedule/xlsx_records.h"

#include <optional>

#include "engine/utf_text.h"
#include "schedule/schedule_text.h"
#include "schedule/xlsx_package.h"
#include "schedule/xlsx_sheet.h"
#include "schedule/xlsx_xml.h"
#include "schedule/xlsx_zip.h"

// Reading a worksheet over the rooms: the zip (xlsx_zip), each part's XML (xlsx_xml), the
// package's choice of sheet (xlsx_package), the shared strings and the sheet's cells
// (xlsx_sheet). Each guards its own ground; this file only puts them in order.
namespace pile::schedule {

using xlsx::kSaveAs;

FileKind KindOf(std::string_view start) {
    if (start.substr(0, 4) == std::string_view("PK\x03\x04", 4) ||
        start.substr(0, 4) == std::string_view("PK\x05\x06", 4)) {
        return FileKind::Zip;
    }
    if (start.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        return FileKind::Compound;
    }
    return FileKind::Text;
}

std::variant<Worksheet, std::u16string> ReadWorksheet(std::string_view file, std::string_view sheet,
                                                      const WorkbookLimits& limits,
                                                      const ReadProgress& progress) {
    if (file.size() > limits.maxFileBytes) {
        return FileTooBigText(limits.maxFileBytes);
    }
    if (KindOf(file) == FileKind::Compound) {
        // Excel encrypts a workbook with a password to open into a compound file whose
        // stream "EncryptedPackage" holds the zip.
        constexpr char16_t kEncrypted[] = u"EncryptedPackage";
        std::string pattern;
        for (const char16_t c : std::u16string_view(kEncrypted)) {
            pattern.push_back(static_cast<char>(c));
            pattern.push_back('\0');
        }
        if (file.find(pattern) != std::string_view::npos) {
            return u"工作簿设有打开密码，读不了；请在 Excel 中去掉密码（文件 → 信息 → 保护工作簿 → "
                   u"用密码进行加密，清空）后保存，或" +
                   kSaveAs;
        }
        return u"这是 Excel 97-2003 工作簿（.xls）或 WPS 表格（.et），读不了；请在 Excel 或 WPS "
               u"中" +
               kSaveAs;
    }
    xlsx::Archive archive(file, limits, progress);
    if (auto why = archive.Open()) {
        return *why;
    }
    const xlsx::PartParser parse = [&](std::string_view part, xlsx::XmlHandler& handler) {
        xlsx::XmlStream stream(Utf8ToUtf16(part), limits, handler);
        return archive.Read(
            part, [&](std::string_view chunk, bool last) { return stream.Feed(chunk, last); });
    };
    auto chosen = xlsx::ChooseSheet(archive, parse, sheet);
    if (auto* why = std::get_if<std::u16string>(&chosen)) {
        return std::move(*why);
    }
    const xlsx::ChosenSheet& found = std::get<xlsx::ChosenSheet>(chosen);
    xlsx::SharedStrings shared;
    if (found.sharedStrings) {
        if (auto why = xlsx::ReadSharedStrings(parse, *found.sharedStrings, limits, shared)) {
            return *why;
        }
    }
    auto rows = xlsx::ReadSheetRows(parse, found.part, Utf8ToUtf16(found.name), shared, limits);
    if (auto* why = std::get_if<std::u16string>(&rows)) {
        return std::move(*why);
    }
    return Worksheet{found.name, std::move(std::get<std::vector<SheetRow>>(rows))};
}

}  // namespace pile::schedule
