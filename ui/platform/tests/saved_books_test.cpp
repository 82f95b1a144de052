// Books made by the real calculations, saved through the real flow, checked against a second
// GBK implementation (glibc's iconv) so that the two encoders vouch for each other.
#include <gtest/gtest.h>

#include <QDir>
#include <string>
#include <vector>

#include "io/output_files.h"
#include "session/panel_session.h"
#include "testing/panels.h"
#include "testing/qt/platform_test_support.h"
#include "testing/qt/test_doubles.h"
#include "ui/platform/book_save_flow.h"

#ifdef Q_OS_UNIX
#include <iconv.h>
#endif

namespace pile::platform {
namespace {

using io::BookFileName;
using pile::test::Hex;
using pile::test::ReadAll;

struct Step {
    const char* name;
    pile::test::Panel panel;
    PrecisionMode precision;
    char16_t separator;
};

using enum SectionType;
using enum RockParameterMode;
using enum ConstructionProcess;

// Every kind of record the books know: both rock modes, the three processes, all sections,
// the square, a clamped ratio, a socket depth in mm, the comma separator.
const std::vector<Step> kEveryKindOfRecord = {
    {"Startup",
     {Circle, Frk, u"1000", u"0", u"1.0d", u"25", u"24", MudWall},
     PrecisionMode::Units,
     u'.'},
    {"DryProcess",
     {Circle, Frk, u"1000", u"0", u"1500", u"25", u"24", DryClean},
     PrecisionMode::TwoDecimals,
     u'.'},
    {"Grouted",
     {Circle, Frk, u"1200", u"0", u"2.0d", u"25", u"24", MudWallGrouted},
     PrecisionMode::Tens,
     u','},
    {"Clamped",
     {Circle, Frk, u"800", u"0", u"10d", u"25", u"24", MudWall},
     PrecisionMode::Hundreds,
     u'.'},
    {"FukCircle",
     {Circle, Fuk, u"1000", u"0", u"1.0d", u"25", u"24", DryClean},
     PrecisionMode::OneDecimal,
     u'.'},
    {"Ellipse",
     {Ellipse, Fuk, u"1000", u"1000", u"1.5d", u"25", u"24", DryClean},
     PrecisionMode::Units,
     u'.'},
    {"Rectangle",
     {Rectangle, Fuk, u"800", u"1000", u"1.5b", u"25", u"24", DryClean},
     PrecisionMode::Units,
     u'.'},
    {"Square",
     {Rectangle, Fuk, u"1000", u"1000", u"1.0b", u"25", u"24", DryClean},
     PrecisionMode::Units,
     u'.'},
};

const std::u16string kTime = u"2024/5/6 14:03:27";

void Calculate(session::PanelSession& session, const Step& step) {
    const session::PanelUpdate update =
        session.Compute(step.panel.Input(), step.precision, step.separator, kTime);
    ASSERT_TRUE(std::holds_alternative<session::ResultTexts>(update.outcome)) << step.name;
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

// The window's part: the session with its books, flags and book on show, and cbt_Save.
class SavedBooksFlow : public pile::test::TemporaryHomeTest {
  protected:
    void SetUp() override {
        TemporaryHomeTest::SetUp();
        BookSaveFlow::Hooks hooks;
        hooks.bookOnShow = [this] { return session_.BookOnShow(); };
        hooks.bookLines = [this](Book book) { return &session_.Lines(book); };
        hooks.bookSaved = [this](Book book) {
            session_.MarkSaved(book);
            saveEnabled_ = false;
        };
        flow_ = std::make_unique<BookSaveFlow>(desktop_, messages_, std::move(hooks));
    }

    void Save(Book book) {
        if (session_.BookOnShow() != book) {
            session_.SwitchBook();
        }
        flow_->Request(QString());
    }

    void ExpectFileHolds(const QString& name, const BookLines& book) {
        const std::optional<QByteArray> expected = IconvGbk(book);
        if (!expected) {
            GTEST_SKIP() << "no glibc GBK converter here";
        }
        EXPECT_EQ(Hex(ReadAll(Documents() + QLatin1Char('/') + name)), Hex(*expected));
    }

    session::PanelSession session_;
    bool saveEnabled_ = true;
    DesktopPermissionService desktop_;
    RecordingMessagePresenter messages_;
    std::unique_ptr<BookSaveFlow> flow_;
};

TEST_F(SavedBooksFlow, BothBooksAfterOneAndAfterTwoCalculations) {
    Calculate(session_, kEveryKindOfRecord[0]);
    Save(Book::Text);
    EXPECT_EQ(session_.UnsavedBookFlags(), 2);
    EXPECT_FALSE(saveEnabled_);
    ExpectFileHolds(BookFileName(Book::Text), session_.Lines(Book::Text));
    const QByteArray text = ReadAll(Documents() + QLatin1Char('/') + BookFileName(Book::Text));
    EXPECT_TRUE(
        text.endsWith("\xA3\xBA"
                      "2024/5/6 14:03:27"))
        << "ends with the time line";
    EXPECT_FALSE(text.startsWith("\xEF\xBB\xBF"));
    Save(Book::Table);
    EXPECT_EQ(session_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(Book::Table), session_.Lines(Book::Table));

    Calculate(session_, kEveryKindOfRecord[4]);
    EXPECT_EQ(session_.UnsavedBookFlags(), 3);
    Save(Book::Table);
    Save(Book::Text);
    EXPECT_EQ(session_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(Book::Text), session_.Lines(Book::Text));
    ExpectFileHolds(BookFileName(Book::Table), session_.Lines(Book::Table));
    EXPECT_TRUE(messages_.boxes.empty());
}

// Agreement with glibc also proves that no character became "?": glibc refuses what it lacks.
TEST_F(SavedBooksFlow, EveryKindOfRecordSavedMatchesGlibcsGbk) {
    for (const Step& step : kEveryKindOfRecord) {
        Calculate(session_, step);
    }
    Save(Book::Text);
    Save(Book::Table);
    EXPECT_EQ(session_.UnsavedBookFlags(), 0);
    ExpectFileHolds(BookFileName(Book::Text), session_.Lines(Book::Text));
    ExpectFileHolds(BookFileName(Book::Table), session_.Lines(Book::Table));
}

}  // namespace
}  // namespace pile::platform
