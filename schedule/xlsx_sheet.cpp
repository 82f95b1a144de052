#include "schedule/xlsx_sheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <system_error>
#include <utility>

#include "engine/utf_text.h"
#include "schedule/schedule_text.h"

namespace pile::schedule {
namespace xlsx {
namespace {

constexpr std::uint32_t kExcelRows = 1048576;
constexpr std::uint32_t kExcelColumns = 16384;

std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

// Counts characters (not bytes) of UTF-8 text against the cell limit.
class TextCapture {
  public:
    explicit TextCapture(std::size_t maxChars) : maxChars_(maxChars) {}
    // False when the text grew past the limit.
    bool Append(std::string& text, std::string_view piece) {
        for (const char c : piece) {
            chars_ += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }
        text.append(piece);
        return chars_ <= maxChars_;
    }
    void Reset() { chars_ = 0; }

  private:
    std::size_t maxChars_;
    std::size_t chars_ = 0;
};

// <si> items: the text of their <t> elements, runs joined, phonetic guides (<rPh>) left out.
class SharedStringsHandler : public XmlHandler {
  public:
    explicit SharedStringsHandler(const WorkbookLimits& limits)
        : limits_(limits), capture_(limits.maxCellChars) {}
    void Start(std::string_view name, const XML_Char**) override {
        if (name == "si") {
            current_.clear();
            capture_.Reset();
            inItem_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inItem_ && phonetic_ == 0) {
            capturing_ = true;
        }
    }
    void End(std::string_view name) override {
        if (name == "t") {
            capturing_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "si" && inItem_) {
            inItem_ = false;
            if (strings.size() == limits_.maxSharedStrings) {
                failure =
                    u"共享字符串超过 " + DecimalText(limits_.maxSharedStrings) + u" 个，不是桩表";
                return;
            }
            // The table is kept whole while the sheet is read: its bytes count with the cells'.
            bytes += current_.size();
            if (bytes > limits_.maxKeptBytes) {
                failure =
                    u"共享字符串共超过 " + MegabytesText(limits_.maxKeptBytes) + u"，不是桩表";
                return;
            }
            strings.push_back(std::move(current_));
            current_.clear();
        }
    }
    void Text(std::string_view text) override {
        if (capturing_ && !capture_.Append(current_, text)) {
            failure = u"第 " + DecimalText(strings.size() + 1) + u" 个共享字符串超过 " +
                      DecimalText(limits_.maxCellChars) + u" 个字符";
        }
    }
    std::vector<std::string> strings;
    std::size_t bytes = 0;  // of all the strings

  private:
    const WorkbookLimits& limits_;
    TextCapture capture_;
    std::string current_;
    bool inItem_ = false;
    bool capturing_ = false;
    int phonetic_ = 0;
};

}  // namespace

bool ParseReference(std::string_view ref, std::uint32_t& row, std::uint32_t& column) {
    std::size_t i = 0;
    std::uint32_t c = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        c = c * 26 + static_cast<std::uint32_t>(ref[i] - 'A' + 1);
        if (c > kExcelColumns) {
            return false;
        }
    }
    std::uint32_t r = 0;
    const auto [end, error] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
    if (i == 0 || error != std::errc() || end != ref.data() + ref.size() || r == 0 ||
        r > kExcelRows) {
        return false;
    }
    row = r;
    column = c;
    return true;
}

namespace {

struct MergedRange {
    std::uint32_t firstRow, firstColumn, lastRow, lastColumn;
};

class SheetHandler : public XmlHandler {
  public:
    SheetHandler(const WorkbookLimits& limits, const std::vector<std::string>& shared,
                 std::u16string sheetName)
        : limits_(limits),
          shared_(shared),
          sheetName_(std::move(sheetName)),
          capture_(limits.maxCellChars) {}

    void Start(std::string_view name, const XML_Char** attributes) override {
        if (name == "row") {
            StartRow(attributes);
        } else if (name == "c" && inRow_) {
            StartCell(attributes);
        } else if (!inCell_) {
            if (name == "mergeCell") {
                AddMerge(Attribute(attributes, "ref").value_or(""));
            }
        } else if (name == "v") {
            hasValue_ = true;
            target_ = &value_;
        } else if (name == "f") {
            hasFormula_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && phonetic_ == 0) {
            target_ = &inline_;  // inside <is>
        }
    }

    void End(std::string_view name) override {
        if (name == "v" || name == "t") {
            target_ = nullptr;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "c" && inCell_) {
            EndCell();
        } else if (name == "row" && inRow_) {
            inRow_ = false;
            if (!row_.cells.empty()) {
                if (rows.size() == limits_.maxRows) {
                    failure = u"工作表「" + sheetName_ + u"」有内容的行超过 " +
                              DecimalText(limits_.maxRows) + u" 行，请分成几个文件";
                    return;
                }
                rows.push_back(std::move(row_));
            }
        }
    }

    void Text(std::string_view text) override {
        if (target_ != nullptr && !capture_.Append(*target_, text)) {
            failure = u"单元格 " + U16(CellReference(row_.number, column_)) + u" 的文字超过 " +
                      DecimalText(limits_.maxCellChars) + u" 个字符";
        }
    }

    std::vector<SheetRow> rows;
    std::vector<MergedRange> merges;
    std::size_t cells = 0;
    std::size_t kept = 0;  // bytes of text: the shared strings, then the cells

  private:
    void StartRow(const XML_Char** attributes) {
        const auto r = Attribute(attributes, "r");
        std::uint32_t number = lastRow_ + 1;
        if (r) {
            const auto [end, error] = std::from_chars(r->data(), r->data() + r->size(), number);
            if (error != std::errc() || end != r->data() + r->size()) {
                number = 0;
            }
        }
        if (number == 0 || number > kExcelRows) {
            failure = u"工作表「" + sheetName_ + u"」的行号不对（文件已损坏）";
            return;
        }
        lastRow_ = number;
        row_ = SheetRow{number, {}};
        lastColumn_ = 0;
        inRow_ = true;
    }

    void StartCell(const XML_Char** attributes) {
        std::uint32_t column = lastColumn_ + 1;
        if (const auto r = Attribute(attributes, "r")) {
            std::uint32_t row = 0;
            if (!ParseReference(*r, row, column)) {
                failure = u"工作表「" + sheetName_ + u"」的单元格位置「" + U16(*r) +
                          u"」不对（文件已损坏）";
                return;
            }
            // Excel writes a cell inside the row its reference names; one elsewhere would be
            // read into the wrong pile's row.
            if (row != row_.number) {
                failure = u"工作表「" + sheetName_ + u"」的单元格 " + U16(*r) + u" 写在第 " +
                          DecimalText(row_.number) + u" 行里（文件已损坏）";
                return;
            }
        }
        if (column > kExcelColumns) {
            failure = u"工作表「" + sheetName_ + u"」超过 Excel 的列数（文件已损坏）";
            return;
        }
        lastColumn_ = column_ = column;
        type_ = std::string(Attribute(attributes, "t").value_or("n"));
        value_.clear();
        inline_.clear();
        capture_.Reset();
        hasValue_ = hasFormula_ = false;
        phonetic_ = 0;
        inCell_ = true;
    }

    void EndCell() {
        inCell_ = false;
        SheetCell cell{column_, {}, false};
        if (type_ == "inlineStr") {
            cell.text = std::move(inline_);
        } else if (hasFormula_ && (!hasValue_ || (value_.empty() && type_ != "str"))) {
            cell.formulaWithoutValue = true;
        } else if (!hasValue_) {
            return;  // formatting alone
        } else if (type_ == "s") {
            std::size_t index = 0;
            const auto [end, error] =
                std::from_chars(value_.data(), value_.data() + value_.size(), index);
            if (error != std::errc() || end != value_.data() + value_.size() ||
                index >= shared_.size()) {
                failure = u"单元格 " + U16(CellReference(row_.number, column_)) + u" 引用第 " +
                          U16(value_.substr(0, 20)) + u" 号共享字符串，但只有 " +
                          DecimalText(shared_.size()) + u" 个（文件已损坏）";
                return;
            }
            cell.text = shared_[index];
        } else if (type_ == "b") {
            cell.text = value_ == "1" ? "TRUE" : value_ == "0" ? "FALSE" : value_;
        } else if (type_ == "n") {
            double number = 0;
            const auto [end, error] =
                std::from_chars(value_.data(), value_.data() + value_.size(), number);
            const bool whole = error == std::errc() && end == value_.data() + value_.size();
            cell.text = whole && std::isfinite(number) ? NumberText(number) : value_;
        } else {
            cell.text = std::move(value_);  // str (a formula's text), e (#DIV/0!), d (a date)
        }
        if (cell.text.empty() && !cell.formulaWithoutValue) {
            return;
        }
        if (column_ > limits_.maxColumns) {
            failure = u"单元格 " + U16(CellReference(row_.number, column_)) + u" 在第 " +
                      DecimalText(limits_.maxColumns) + u" 列之后，不是桩表";
            return;
        }
        if (++cells > limits_.maxCells) {
            failure = TooManyCells();
            return;
        }
        kept += cell.text.size();
        if (kept > limits_.maxKeptBytes) {
            failure = TooMuchText();
            return;
        }
        row_.cells.push_back(std::move(cell));
    }

    void AddMerge(std::string_view ref) {
        const std::size_t colon = ref.find(':');
        MergedRange range{};
        if (colon == std::string_view::npos ||
            !ParseReference(ref.substr(0, colon), range.firstRow, range.firstColumn) ||
            !ParseReference(ref.substr(colon + 1), range.lastRow, range.lastColumn) ||
            range.lastRow < range.firstRow || range.lastColumn < range.firstColumn) {
            return;  // Excel ignores a range it cannot read; so does this reader
        }
        if (merges.size() == limits_.maxMergedRanges) {
            failure = u"工作表「" + sheetName_ + u"」的合并单元格超过 " +
                      DecimalText(limits_.maxMergedRanges) + u" 处，不是桩表";
            return;
        }
        merges.push_back(range);
    }

  public:
    std::u16string TooManyCells() const {
        return u"工作表「" + sheetName_ + u"」的单元格（合并单元格逐格计）超过 " +
               DecimalText(limits_.maxCells) + u" 个，不是桩表";
    }
    std::u16string TooMuchText() const {
        return u"工作表「" + sheetName_ + u"」的单元格文字（共享字符串和合并单元格逐格计）超过 " +
               MegabytesText(limits_.maxKeptBytes) + u"，不是桩表";
    }

  private:
    const WorkbookLimits& limits_;
    const std::vector<std::string>& shared_;
    std::u16string sheetName_;
    TextCapture capture_;
    SheetRow row_;
    std::uint32_t lastRow_ = 0;
    std::uint32_t lastColumn_ = 0;
    std::uint32_t column_ = 0;
    std::string type_;
    std::string value_;
    std::string inline_;
    std::string* target_ = nullptr;
    bool inRow_ = false;
    bool inCell_ = false;
    bool hasValue_ = false;
    bool hasFormula_ = false;
    int phonetic_ = 0;
};

// Rows by number and cells by column, a later duplicate replacing an earlier one. A row
// written as several elements becomes one row before its cells are sorted.
void Order(std::vector<SheetRow>& rows) {
    const auto byNumber = [](const SheetRow& a, const SheetRow& b) { return a.number < b.number; };
    if (!std::is_sorted(rows.begin(), rows.end(), byNumber)) {
        std::stable_sort(rows.begin(), rows.end(), byNumber);
    }
    std::vector<SheetRow> joined;
    for (SheetRow& row : rows) {
        if (!joined.empty() && joined.back().number == row.number) {
            for (SheetCell& cell : row.cells) {
                joined.back().cells.push_back(std::move(cell));
            }
        } else {
            joined.push_back(std::move(row));
        }
    }
    rows = std::move(joined);
    for (SheetRow& row : rows) {
        const auto byColumn = [](const SheetCell& a, const SheetCell& b) {
            return a.column < b.column;
        };
        if (!std::is_sorted(row.cells.begin(), row.cells.end(), byColumn)) {
            std::stable_sort(row.cells.begin(), row.cells.end(), byColumn);
        }
        std::vector<SheetCell> unique;
        for (SheetCell& cell : row.cells) {
            if (!unique.empty() && unique.back().column == cell.column) {
                unique.back() = std::move(cell);
            } else {
                unique.push_back(std::move(cell));
            }
        }
        row.cells = std::move(unique);
    }
}

const SheetCell* CellAt(const SheetRow& row, std::uint32_t column) {
    const auto it =
        std::lower_bound(row.cells.begin(), row.cells.end(), column,
                         [](const SheetCell& cell, std::uint32_t c) { return cell.column < c; });
    return it != row.cells.end() && it->column == column ? &*it : nullptr;
}

// Gives every cell of a merged range its first cell's value, in the rows with content; the
// count of cells stays within the limit.
bool FillMerges(std::vector<SheetRow>& rows, const std::vector<MergedRange>& merges,
                const WorkbookLimits& limits, std::size_t& cells, std::size_t& kept) {
    const auto firstAtOrAfter = [&](std::uint32_t number) {
        return std::lower_bound(
            rows.begin(), rows.end(), number,
            [](const SheetRow& row, std::uint32_t n) { return row.number < n; });
    };
    // Every place a range looks at is counted, not only the cells it adds: ranges laid over
    // each other (Excel never writes them) would otherwise walk the same cells again and again.
    // Ranges that do not overlap look at most at every cell twice, once kept and once added.
    std::size_t visits = 0;
    const std::size_t maxVisits = 2 * limits.maxCells;
    for (const MergedRange& range : merges) {
        const auto top = firstAtOrAfter(range.firstRow);
        if (top == rows.end() || top->number != range.firstRow) {
            continue;
        }
        const SheetCell* first = CellAt(*top, range.firstColumn);
        if (first == nullptr) {
            continue;
        }
        const SheetCell value = *first;
        const std::uint32_t lastColumn = std::min<std::uint32_t>(
            range.lastColumn, static_cast<std::uint32_t>(limits.maxColumns));
        for (auto row = top; row != rows.end() && row->number <= range.lastRow; ++row) {
            std::vector<SheetCell> added;
            if (++visits > maxVisits) {
                return false;
            }
            for (std::uint32_t column = range.firstColumn; column <= lastColumn; ++column) {
                if (++visits > maxVisits) {
                    return false;
                }
                if (CellAt(*row, column) == nullptr) {
                    kept += value.text.size();
                    if (++cells > limits.maxCells || kept > limits.maxKeptBytes) {
                        return false;
                    }
                    added.push_back(value);
                    added.back().column = column;
                }
            }
            if (!added.empty()) {
                std::vector<SheetCell> merged;
                merged.reserve(row->cells.size() + added.size());
                std::merge(
                    std::make_move_iterator(row->cells.begin()),
                    std::make_move_iterator(row->cells.end()),
                    std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
                    std::back_inserter(merged),
                    [](const SheetCell& a, const SheetCell& b) { return a.column < b.column; });
                row->cells = std::move(merged);
            }
        }
    }
    return true;
}

}  // namespace

std::optional<std::u16string> ReadSharedStrings(const PartParser& parse, std::string_view part,
                                                const WorkbookLimits& limits,
                                                SharedStrings& shared) {
    SharedStringsHandler handler(limits);
    if (auto why = parse(part, handler)) {
        return why;
    }
    shared.strings = std::move(handler.strings);
    shared.bytes = handler.bytes;
    return std::nullopt;
}

std::variant<std::vector<SheetRow>, std::u16string> ReadSheetRows(const PartParser& parse,
                                                                  std::string_view part,
                                                                  const std::u16string& name,
                                                                  const SharedStrings& shared,
                                                                  const WorkbookLimits& limits) {
    SheetHandler handler(limits, shared.strings, name);
    handler.kept = shared.bytes;
    if (auto why = parse(part, handler)) {
        return *why;
    }
    std::vector<SheetRow> rows = std::move(handler.rows);
    Order(rows);
    if (!FillMerges(rows, handler.merges, limits, handler.cells, handler.kept)) {
        return handler.kept > limits.maxKeptBytes ? handler.TooMuchText() : handler.TooManyCells();
    }
    return rows;
}

}  // namespace xlsx

std::string CellReference(std::uint32_t row, std::uint32_t column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters + std::to_string(row);
}

std::string NumberText(double value) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string();
}

}  // namespace pile::schedule
