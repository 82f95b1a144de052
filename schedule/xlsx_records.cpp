#include "schedule/xlsx_records.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "engine/utf_text.h"
#include "schedule/schedule_text.h"

namespace pile::schedule {
namespace {

constexpr std::uint32_t kExcelRows = 1048576;
constexpr std::uint32_t kExcelColumns = 16384;

std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

std::u16string MiB(std::size_t bytes) {
    return DecimalText(bytes >> 20) + u" MB";
}

// Said after 请, 或 or 在 … 中: the save-as step itself, once.
const std::u16string kSaveAs = u"另存为“Excel 工作簿 (*.xlsx)”或“CSV UTF-8”";

// ------------------------------------------------------------------ the zip archive

// Part names compare without case, as the packaging rules say.
std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// Receives the events of one XML part. A handler stops the parse by setting `failure`.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // `name` is the local name: the namespace is dropped, as writers differ in prefixes.
    virtual void Start(std::string_view name, const XML_Char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view) {}
    std::optional<std::u16string> failure;
};

std::string_view LocalName(const XML_Char* name) {
    const std::string_view full(name);
    const std::size_t space = full.rfind(' ');
    return space == std::string_view::npos ? full : full.substr(space + 1);
}

std::optional<std::string_view> Attribute(const XML_Char** attributes, std::string_view name) {
    for (std::size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (LocalName(attributes[i]) == name) {
            return std::string_view(attributes[i + 1]);
        }
    }
    return std::nullopt;
}

// What the expat callbacks need: the handler, the depth and its limit.
struct ParseState {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    std::size_t depth = 0;
    std::size_t maxDepth = 0;
    std::u16string part;
    std::size_t fed = 0;        // bytes handed to expat so far
    std::size_t lastEvent = 0;  // `fed` when a handler was last called
};

// Every handler marks that expat has got past a token: the bytes fed since are the token it
// is still waiting to end.
void Mark(ParseState& state) {
    state.lastEvent = state.fed;
}

void Stop(ParseState& state, std::u16string why) {
    if (!state.handler->failure) {
        state.handler->failure = std::move(why);
    }
    XML_StopParser(state.parser, XML_FALSE);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    if (++state.depth > state.maxDepth) {
        Stop(state,
             state.part + u" 的 XML 嵌套超过 " + DecimalText(state.maxDepth) + u" 层，不予读取");
        return;
    }
    state.handler->Start(LocalName(name), attributes);
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    --state.depth;
    state.handler->End(LocalName(name));
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    Mark(state);
    state.handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
    if (state.handler->failure) {
        XML_StopParser(state.parser, XML_FALSE);
    }
}

// Comments, processing instructions, the XML declaration, white space outside the root: read
// past, but each is an event.
void XMLCALL OnOther(void* data, const XML_Char*, int) {
    Mark(*static_cast<ParseState*>(data));
}

// No part of a workbook declares a DTD; one that does is refused before any entity of it can
// be expanded or fetched.
void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& state = *static_cast<ParseState*>(data);
    Stop(state, state.part + u" 含有 DTD 声明，不予读取");
}

void XMLCALL OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                      const XML_Char*, const XML_Char*, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(data);
    Stop(state, state.part + u" 声明了实体，不予读取");
}

int XMLCALL OnExternalEntity(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*,
                             const XML_Char*) {
    return XML_STATUS_ERROR;
}

class Archive {
  public:
    Archive(std::string_view bytes, const WorkbookLimits& limits, const ReadProgress& progress)
        : bytes_(bytes), limits_(limits), progress_(progress) {}
    ~Archive() {
        if (zip_ != nullptr) {
            zip_discard(zip_);
        }
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    std::optional<std::u16string> Open() {
        const std::u16string broken = u"工作簿已损坏或不完整（zip 压缩包读不了）";
        zip_error_t error;
        zip_error_init(&error);
        // The archive is the file's bytes in memory; the source does not own them.
        zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
        if (source != nullptr) {
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (zip_ == nullptr) {
                zip_source_free(source);
            }
        }
        zip_error_fini(&error);
        if (zip_ == nullptr) {
            return broken;
        }
        const zip_int64_t count = zip_get_num_entries(zip_, 0);
        if (count < 0) {
            return broken;
        }
        if (static_cast<zip_uint64_t>(count) > limits_.maxEntries) {
            return u"工作簿含有超过 " + DecimalText(limits_.maxEntries) + u" 个部件，不是桩表";
        }
        for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
            zip_stat_t stat;
            zip_stat_init(&stat);
            if (zip_stat_index(zip_, index, ZIP_FL_ENC_RAW, &stat) != 0 ||
                (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE)) != (ZIP_STAT_NAME | ZIP_STAT_SIZE)) {
                return broken;
            }
            const bool encrypted = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
                                   stat.encryption_method != ZIP_EM_NONE;
            entries_.emplace(Folded(stat.name), Entry{index, stat.size, encrypted});
            statedTotal_ = std::min<std::size_t>(
                limits_.maxUncompressedBytes,
                statedTotal_ + static_cast<std::size_t>(std::min<zip_uint64_t>(
                                   stat.size, limits_.maxUncompressedBytes)));
        }
        return std::nullopt;
    }

    bool Has(std::string_view part) const { return entries_.count(Folded(part)) > 0; }

    // Inflates the part and hands it to `handler` as it comes; the reason when it fails.
    std::optional<std::u16string> Parse(std::string_view part, XmlHandler& handler) {
        const std::u16string shown = U16(part);
        const auto entry = entries_.find(Folded(part));
        if (entry == entries_.end()) {
            return u"工作簿不完整：缺少 " + shown;
        }
        if (entry->second.encrypted) {
            return u"工作簿设有密码，读不了；请在 Excel 中去掉密码后保存，或" + kSaveAs;
        }
        const std::u16string bomb = u"工作簿解压后超过 " + MiB(limits_.maxUncompressedBytes) +
                                    u"，不是桩表（可能是压缩炸弹）";
        // The stated size may lie; it is checked before and the bytes are counted as they come.
        if (entry->second.size > limits_.maxUncompressedBytes - inflated_) {
            return bomb;
        }
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
            zip_fopen_index(zip_, entry->second.index, 0), &zip_fclose);
        if (file == nullptr) {
            return u"工作簿已损坏：" + shown + u" 打不开";
        }
        std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
            XML_ParserCreateNS(nullptr, ' '), &XML_ParserFree);
        ParseState state{parser.get(), &handler, 0, limits_.maxDepth, shown, 0, 0};
        XML_SetUserData(parser.get(), &state);
        XML_SetElementHandler(parser.get(), OnStart, OnEnd);
        XML_SetCharacterDataHandler(parser.get(), OnText);
        XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
        XML_SetEntityDeclHandler(parser.get(), OnEntity);
        XML_SetExternalEntityRefHandler(parser.get(), OnExternalEntity);
        XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
        // The expanding kind, so that having it changes nothing of how references are read.
        XML_SetDefaultHandlerExpand(parser.get(), OnOther);

        const std::u16string damaged = u"工作簿已损坏：" + shown + u" 的校验和不对";
        std::array<char, 64 * 1024> buffer;
        zip_uint64_t read = 0;
        for (;;) {
            // Never more than the stated size: a part longer than it says is damaged, and the
            // read past the end below tells it.
            const zip_uint64_t want =
                std::min<zip_uint64_t>(buffer.size(), entry->second.size - read);
            const zip_int64_t got = want == 0 ? 0 : zip_fread(file.get(), buffer.data(), want);
            if (got < 0) {
                const int code = zip_error_code_zip(zip_file_get_error(file.get()));
                return code == ZIP_ER_CRC || code == ZIP_ER_INCONS
                           ? damaged
                           : u"工作簿已损坏：" + shown + u" 解压出错";
            }
            read += static_cast<zip_uint64_t>(got);
            inflated_ += static_cast<std::size_t>(got);
            if (inflated_ > limits_.maxUncompressedBytes) {
                return bomb;
            }
            // A large sheet takes seconds to parse: the window stays drawn and can stop it.
            if (progress_ && inflated_ >= nextTick_) {
                nextTick_ = inflated_ + kProgressTick;
                if (!progress_(inflated_, std::max(statedTotal_, inflated_))) {
                    return std::u16string(kReadingStopped);
                }
            }
            const bool last = got == 0;
            if (last) {
                // libzip checks the CRC when the part is read to its end: one byte more must
                // find that end, and the bytes must be as many as the archive says.
                char extra = 0;
                if (read != entry->second.size || zip_fread(file.get(), &extra, 1) != 0) {
                    return damaged;
                }
            }
            state.fed += static_cast<std::size_t>(got);
            if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) !=
                XML_STATUS_OK) {
                if (handler.failure) {
                    return handler.failure;
                }
                return u"工作簿已损坏：" + shown + u" 第 " +
                       DecimalText(XML_GetCurrentLineNumber(parser.get())) + u" 行不是有效的 XML";
            }
            // Text comes to the handler in pieces as it is fed, but a tag, an attribute or a
            // comment only whole: expat scans it again from its start with every chunk, which
            // grows as its square. No cell needs a long one, so one is refused early.
            if (state.fed - state.lastEvent > limits_.maxTokenBytes) {
                return shown + u" 中有一个标签、属性或注释超过 " + MiB(limits_.maxTokenBytes) +
                       u"，不予读取";
            }
            if (last) {
                return std::nullopt;
            }
        }
    }

  private:
    struct Entry {
        zip_uint64_t index;
        zip_uint64_t size;
        bool encrypted;
    };
    std::string_view bytes_;
    WorkbookLimits limits_;
    static constexpr std::size_t kProgressTick = 256 * 1024;
    zip_t* zip_ = nullptr;
    std::map<std::string, Entry> entries_;
    std::size_t inflated_ = 0;
    const ReadProgress& progress_;
    std::size_t statedTotal_ = 0;  // the parts' stated sizes, within the uncompressed limit
    std::size_t nextTick_ = kProgressTick;
};

// ------------------------------------------------------------------ packaging parts

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
                failure = u"共享字符串共超过 " + MiB(limits_.maxKeptBytes) + u"，不是桩表";
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

// "AB12" -> row 12, column 28; false when it is no cell reference.
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
               MiB(limits_.maxKeptBytes) + u"，不是桩表";
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

// Which zip this is when it holds no Office Open XML workbook.
std::u16string NotAWorkbook(Archive& archive) {
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
        return u"文件超过 " + MiB(limits.maxFileBytes) + u"，不是桩表";
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
    Archive archive(file, limits, progress);
    if (auto why = archive.Open()) {
        return *why;
    }
    if (!archive.Has("_rels/.rels")) {
        return NotAWorkbook(archive);
    }
    RelsHandler root("");
    if (auto why = archive.Parse("_rels/.rels", root)) {
        return *why;
    }
    const std::optional<std::string> workbookPart = root.OfType("/officeDocument");
    if (!workbookPart || EndsWith(Folded(*workbookPart), ".bin") || !archive.Has(*workbookPart)) {
        return NotAWorkbook(archive);
    }
    WorkbookHandler workbook;
    if (auto why = archive.Parse(*workbookPart, workbook)) {
        return *why;
    }
    RelsHandler rels(*workbookPart);
    if (archive.Has(RelsOf(*workbookPart))) {
        if (auto why = archive.Parse(RelsOf(*workbookPart), rels)) {
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

    SharedStringsHandler shared(limits);
    if (const auto part = rels.OfType("/sharedStrings"); part && archive.Has(*part)) {
        if (auto why = archive.Parse(*part, shared)) {
            return *why;
        }
    }
    SheetHandler sheetHandler(limits, shared.strings, name);
    sheetHandler.kept = shared.bytes;
    if (auto why = archive.Parse(rels.byId.at(chosen->relationId).target, sheetHandler)) {
        return *why;
    }
    Worksheet worksheet{chosen->name, std::move(sheetHandler.rows)};
    Order(worksheet.rows);
    if (!FillMerges(worksheet.rows, sheetHandler.merges, limits, sheetHandler.cells,
                    sheetHandler.kept)) {
        return sheetHandler.kept > limits.maxKeptBytes ? sheetHandler.TooMuchText()
                                                       : sheetHandler.TooManyCells();
    }
    return worksheet;
}

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
