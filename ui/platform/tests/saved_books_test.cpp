// Books made by the real calculations, saved through the real flow, checked against a second
// GBK implementation (glibc's iconv) so that the two encoders vouch for each other.
#include <gtest/gtest.h>

#include <QDir>
#include <string>
#include <vector>

#include "books/calculation_books.h"
#include "engine/pile_calculation.h"
#include "ui/platform/book_save_flow.h"
#include "ui/platform/test_doubles.h"
#include "ui/platform/tests/platform_test_support.h"

#ifdef Q_OS_UNIX
#include <iconv.h>
#endif

namespace pile::platform {
namespace {

using testing::Hex;
using testing::ReadAll;

struct Step {
    const char* name;
    PanelInput panel;
    PrecisionMode precision;
    char16_t separator;
};

PanelInput Panel(SectionType section, RockParameterMode rock, std::u16string dd,
                 std::u16string tyzd, std::u16string hr, ConstructionProcess process) {
    PanelInput panel;
    panel.sectionType = section;
    panel.rockMode = rock;
    panel.ddText = std::move(dd);
    panel.tyzdText = std::move(tyzd);
    panel.hrText = std::move(hr);
    panel.frkText = u"25";
    panel.fukText = u"24";
    panel.concreteGrade = ConcreteGrade::C30;
    panel.process = process;
    return panel;
}

using enum SectionType;
using enum RockParameterMode;
using enum ConstructionProcess;

// Every kind of record the books know: both rock modes, the three processes, all sections,
// the square, a clamped ratio, a socket depth in mm, the comma separator.
const std::vector<Step> kEveryKindOfRecord = {
    {"Startup", Panel(Circle, Frk, u"1000", u"0", u"1.0d", MudWall), PrecisionMode::Units, u'.'},
    {"DryProcess", Panel(Circle, Frk, u"1000", u"0", u"1500", DryClean), PrecisionMode::TwoDecimals,
     u'.'},
    {"Grouted", Panel(Circle, Frk, u"1200", u"0", u"2.0d", MudWallGrouted), PrecisionMode::Tens,
     u','},
    {"Clamped", Panel(Circle, Frk, u"800", u"0", u"10d", MudWall), PrecisionMode::Hundreds, u'.'},
    {"FukCircle", Panel(Circle, Fuk, u"1000", u"0", u"1.0d", DryClean), PrecisionMode::OneDecimal,
     u'.'},
    {"Ellipse", Panel(Ellipse, Fuk, u"1000", u"1000", u"1.5d", DryClean), PrecisionMode::Units,
     u'.'},
    {"Rectangle", Panel(Rectangle, Fuk, u"800", u"1000", u"1.5b", DryClean), PrecisionMode::Units,
     u'.'},
    {"Square", Panel(Rectangle, Fuk, u"1000", u"1000", u"1.0b", DryClean), PrecisionMode::Units,
     u'.'},
};

const std::u16string kTime = u"2024/5/6 14:03:27";

void Calculate(CalculationBooks& books, const Step& step) {
    const ComputeOutcome outcome = ComputePile(step.panel, step.separator);
    const auto* pile = std::get_if<ComputedPile>(&outcome.result);
    ASSERT_NE(pile, nullptr) << step.name;
    const std::u16string& dd = outcome.rewritten ? outcome.rewritten->ddText : step.panel.ddText;
    const std::u16string& tyzd =
        outcome.rewritten ? outcome.rewritten->tyzdText : step.panel.tyzdText;
    books.AppendRecord(pile->input, pile->result, dd, tyzd, step.precision, step.separator, kTime);
}

// The book joined by CR LF, encoded by glibc's GBK; nullopt when there is no such converter.
std::optional<QByteArray> IconvGbk(const std::vector<std::u16string>& lines) {
#ifdef Q_OS_UNIX
    std::string utf16le;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::u16string line = lines[i];
        if (i + 1 < lines.size()) {
            line += u"\r\n";
        }
        for (char16_t unit : line) {
            utf16le.push_back(static_cast<char>(unit & 0xFF));
            utf16le.push_back(static_cast<char>(unit >> 8));
        }
    }
    iconv_t converter = iconv_open("GBK", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(utf16le.size() * 2 + 16, '\0');
    char* in = utf16le.data();
    std::size_t inLeft = utf16le.size();
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &outPos, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0) {
        return QByteArray("<a character glibc's GBK lacks>");
    }
    return QByteArray(out.data(), static_cast<qsizetype>(out.size() - outLeft));
#else
    (void)lines;
    return std::nullopt;
#endif
}

// The window's part: the caption of cbt_PageBook, the books with their flags, cbt_Save.
class SavedBooksFlow : public testing::TemporaryHomeTest {
  protected:
    void SetUp() override {
        TemporaryHomeTest::SetUp();
        BookSaveFlow::Hooks hooks;
        hooks.pageBookCaption = [this] { return caption_; };
        hooks.bookLines = [this](BookKind book) {
            return book == BookKind::Text ? &books_.TextLines() : &books_.TableLines();
        };
        hooks.bookSaved = [this](BookKind book) {
            books_.MarkSaved(static_cast<Book>(book));
            saveEnabled_ = false;
        };
        flow_ = std::make_unique<BookSaveFlow>(desktop_, messages_, std::move(hooks));
    }

    void Save(const char* caption) {
        caption_ = QString::fromLatin1(caption);
        flow_->Request(QString());
    }

    void ExpectFileHolds(const QString& name, const BookLines& book) {
        const std::optional<QByteArray> expected = IconvGbk(book);
        if (!expected) {
            GTEST_SKIP() << "no glibc GBK converter here";
        }
        EXPECT_EQ(Hex(ReadAll(Documents() + QLatin1Char('/') + name)), Hex(*expected));
    }

    CalculationBooks books_;
    QString caption_ = QStringLiteral("1");
    bool saveEnabled_ = true;
    DesktopPermissionService desktop_;
    RecordingMessagePresenter messages_;
    std::unique_ptr<BookSaveFlow> flow_;
};

TEST_F(SavedBooksFlow, BothBooksAfterOneAndAfterTwoCalculations) {
    Calculate(books_, kEveryKindOfRecord[0]);
    Save("1");
    EXPECT_EQ(books_.UnsavedBookFlags(), 2);
    EXPECT_FALSE(saveEnabled_);
    ExpectFileHolds(BookFileName(BookKind::Text), books_.TextLines());
    const QByteArray text = ReadAll(Documents() + QLatin1Char('/') + BookFileName(BookKind::Text));
    EXPECT_TRUE(
        text.endsWith("\xA3\xBA"
                      "2024/5/6 14:03:27"))
        << "ends with the time line";
    EXPECT_FALSE(text.startsWith("\xEF\xBB\xBF"));
    Save("2");
    EXPECT_EQ(books_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(BookKind::Table), books_.TableLines());

    Calculate(books_, kEveryKindOfRecord[4]);
    EXPECT_EQ(books_.UnsavedBookFlags(), 3);
    Save("2");
    Save("1");
    EXPECT_EQ(books_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(BookKind::Text), books_.TextLines());
    ExpectFileHolds(BookFileName(BookKind::Table), books_.TableLines());
    EXPECT_TRUE(messages_.boxes.empty());
}

// Agreement with glibc also proves that no character became "?": glibc refuses what it lacks.
TEST_F(SavedBooksFlow, EveryKindOfRecordSavedMatchesGlibcsGbk) {
    for (const Step& step : kEveryKindOfRecord) {
        Calculate(books_, step);
    }
    Save("1");
    Save("2");
    EXPECT_EQ(books_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(BookKind::Text), books_.TextLines());
    ExpectFileHolds(BookFileName(BookKind::Table), books_.TableLines());
}

}  // namespace
}  // namespace pile::platform
