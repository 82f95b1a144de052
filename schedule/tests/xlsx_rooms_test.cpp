// The rooms of the workbook reader on their own: a cell reference at Excel's edges, and one
// part's XML fed in chunks of every size, where a count carried from chunk to chunk could go
// wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/utf_text.h"
#include "schedule/xlsx_sheet.h"
#include "schedule/xlsx_xml.h"

namespace pile::schedule::xlsx {
namespace {

TEST(XlsxRooms, ReadsCellReferencesWithinExcelsGrid) {
    struct Case {
        std::string_view ref;
        bool read;
        std::uint32_t row, column;
    };
    for (const Case& c : {
             Case{"A1", true, 1, 1},
             Case{"AB12", true, 12, 28},
             Case{"XFD1048576", true, 1048576, 16384},  // the last cell
             Case{"XFE1", false, 0, 0},                 // one column past the last
             Case{"A1048577", false, 0, 0},             // one row past the last
             Case{"A0", false, 0, 0},
             Case{"12", false, 0, 0},
             Case{"A", false, 0, 0},
             Case{"a1", false, 0, 0},
             Case{"A1 ", false, 0, 0},
             Case{"A+1", false, 0, 0},
         }) {
        std::uint32_t row = 0;
        std::uint32_t column = 0;
        EXPECT_EQ(ParseReference(c.ref, row, column), c.read) << c.ref;
        if (c.read) {
            EXPECT_EQ(row, c.row) << c.ref;
            EXPECT_EQ(column, c.column) << c.ref;
        }
    }
}

class CountingHandler : public XmlHandler {
  public:
    void Start(std::string_view, const XML_Char**) override { ++elements; }
    void End(std::string_view) override {}
    int elements = 0;
};

// The whole part fed in pieces of `piece` bytes, then its end.
std::optional<std::u16string> Fed(const std::string& xml, std::size_t piece,
                                  const WorkbookLimits& limits, CountingHandler& handler) {
    XmlStream stream(u"x.xml", limits, handler);
    for (std::size_t at = 0; at < xml.size(); at += piece) {
        if (auto why = stream.Feed(std::string_view(xml).substr(at, piece), false)) {
            return why;
        }
    }
    return stream.Feed({}, true);
}

TEST(XlsxRooms, RefusesAPartAlikeInEveryChunkSize) {
    WorkbookLimits limits;
    limits.maxDepth = 3;
    limits.maxTokenBytes = 1u << 20;
    // Twice the limit: the stream looks between chunks, so a token ending in the chunk that
    // passes the limit is read, and that is as it should be.
    const std::string longTag = "<a " + std::string(2 * limits.maxTokenBytes, ' ') + "b=\"1\"/>";
    const std::string longText = "<a>" + std::string(3u << 20, 'x') + "</a>";
    struct Case {
        std::string name;
        std::string xml;
        std::string why;  // empty when the part is read
    };
    for (const Case& c : {
             Case{"nested to the limit", "<a><b><c/></b></a>", ""},
             Case{"nested past it", "<a><b><c><d/></c></b></a>",
                  "x.xml 的 XML 嵌套超过 3 层，不予读取"},
             Case{"a DTD", "<!DOCTYPE a []><a/>", "x.xml 含有 DTD 声明，不予读取"},
             Case{"a tag past the token limit", longTag,
                  "x.xml 中有一个标签、属性或注释超过 1 MB，不予读取"},
             Case{"text past it, which is no token", longText, ""},
             Case{"not XML", "<a><b></a>", "工作簿已损坏：x.xml 第 1 行不是有效的 XML"},
         }) {
        // The reader's own chunk is 64 KB; a long token must be refused across any chunks
        // smaller than the limit.
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{7}, std::size_t{64} << 10, std::size_t{256} << 10}) {
            if (piece < (64u << 10) && c.xml.size() > (64u << 10)) {
                continue;  // megabytes byte by byte prove nothing more and take long
            }
            CountingHandler handler;
            const auto why = Fed(c.xml, piece, limits, handler);
            EXPECT_EQ(why ? Utf16ToUtf8(*why) : "", c.why) << c.name << ", pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace pile::schedule::xlsx
