#include "report/xml_writer.h"

#include <expat.h>
#include <gtest/gtest.h>

#include "testing/row_name.h"

#include <string>

namespace pile::report {
namespace {

using test::PrintTo;

struct EscapeRow {
    const char* name;
    std::u16string text;
    std::string escaped;
};

class EscapeTest : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(EscapeTest, EscapesMarkupAndDropsWhatXmlCannotHold) {
    EXPECT_EQ(EscapedXml(GetParam().text), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeTest,
    ::testing::Values(
        EscapeRow{"Markup", u"a<b & \"c\">", "a&lt;b &amp; &quot;c&quot;&gt;"},
        EscapeRow{"ChineseAndGreek", u"桩ζr≤", "\xE6\xA1\xA9\xCE\xB6r\xE2\x89\xA4"},
        EscapeRow{"ControlsDroppedBlanksKept", u"a\u0001\u0008b\tc\nd", "ab&#9;c&#10;d"},
        EscapeRow{"LoneSurrogatesDropped",
                  std::u16string(u"x") + char16_t(0xD800) + u"y" + char16_t(0xDC00), "xy"},
        EscapeRow{"PairKept", u"\U0001F600", "\xF0\x9F\x98\x80"},
        EscapeRow{"NonCharactersDropped", u"a\uFFFEb\uFFFF", "ab"}),
    test::RowName{});

bool WellFormed(const std::string& xml) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    const bool ok =
        XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_ERROR;
    XML_ParserFree(parser);
    return ok;
}

TEST(XmlWriterTest, NestsClosesEmptyElementsAndFinishesWhatIsOpen) {
    XmlWriter xml;
    xml.Open("a").Attribute("k", u"<\"&>").Open("b").Close().Open("c").Text(u"t").Close();
    xml.Open("d").Attribute("n", 42LL);
    const std::string out = xml.Finish();
    EXPECT_NE(out.find("<a k=\"&lt;&quot;&amp;&gt;\"><b/><c>t</c><d n=\"42\"/></a>"),
              std::string::npos)
        << out;
    EXPECT_TRUE(WellFormed(out));
}

}  // namespace
}  // namespace pile::report
