// Workbooks made by the session's writers (session/xlsx_results.h), which write a file of
// their own: made in a scratch folder and read back, so that they take an earlier file's place
// as the books do. pile_batch writes its results and the template through here, and so does
// the window's "生成桩表模板…".
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "io/book_file.h"

namespace pile::io {

// Writes a workbook at `path` (UTF-8, the platform's notation), its temporary files into
// `scratchFolder`; the reason when it fails.
using WorkbookWriter = std::function<std::optional<std::u16string>(
    const std::string& path, const std::string& scratchFolder)>;

// The bytes of the workbook `write` makes, or why there are none.
std::variant<QByteArray, std::u16string> WorkbookBytes(const WorkbookWriter& write);

// The name asks for a workbook: it ends in .xlsx, in any case.
bool IsWorkbookName(const QString& name);

// The schedule template at `path`: the workbook of `writeWorkbook` for a workbook name, else
// the text `csv`.
BookFileResult WriteTemplateFile(const QString& path, const std::string& csv,
                                 const WorkbookWriter& writeWorkbook);

}  // namespace pile::io
