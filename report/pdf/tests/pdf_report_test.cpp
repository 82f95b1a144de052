#include "report/pdf/pdf_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/utf_text.h"
#include "report/pdf/report_font.h"
#include "report/report_texts.h"
#include "report/tests/report_session.h"

namespace pile::report {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
            out.append(buffer, n);
        }
        pclose(pipe);
    }
    return out;
}

// Without blanks and line ends: pdftotext closes up "目  录" and breaks a narrow cell's text.
std::string Squeezed(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    return text;
}

ProjectInfo Project() {
    ProjectInfo project;
    for (const ProjectField& field : kProjectFields) {
        project.*field.member = std::u16string(field.key) + u"内容";
    }
    project.name = u"重庆某工程（二期）";
    return project;
}

// One small project written once: three piles, the second with a failed check.
class PdfReportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "report_pdf_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QGuiApplication(argc, argv);
        font_ = new ReportFont(LoadReportFont(QCoreApplication::applicationDirPath()));
        PileCheck passed;
        passed.verdict = u"满足";
        passed.lines = {{u"Nk = 5000 kN ≤ Ra = 13978 kN，满足要求", true}};
        PileCheck failed;
        failed.passed = false;
        failed.verdict = u"不满足（Nk>Ra）";
        failed.lines = {{u"Nk = 20000 kN > Ra = 9000 kN，不满足要求", false}};
        content_ = new ReportContent(
            GatherReport(ThreePileSession().Records(), {passed, failed, std::nullopt}));
        auto pdf = PdfReport(*content_, Project(), ThisProgram(), font_->family);
        ASSERT_TRUE(std::holds_alternative<QByteArray>(pdf));
        folder_ = std::filesystem::temp_directory_path() /
                  ("report_pdf_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        const QByteArray& bytes = std::get<QByteArray>(pdf);
        std::ofstream(Path(), std::ios::binary).write(bytes.data(), bytes.size());
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder_); }

    void SetUp() override {
        if (Output("command -v pdftotext").empty() || Output("command -v pdfinfo").empty()) {
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) is not installed: the PDF is "
                            "written but not read back";
        }
    }

    static std::string Path() { return (folder_ / "report.pdf").string(); }
    static std::string Text(int page = 0) {
        const std::string range =
            page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
        return Output("pdftotext" + range + " '" + Path() + "' -");
    }
    static int Pages() {
        return std::stoi(Output("pdfinfo '" + Path() + "' | awk '/^Pages:/{print $2}'"));
    }

    static inline QGuiApplication* app_ = nullptr;
    static inline ReportFont* font_ = nullptr;
    static inline ReportContent* content_ = nullptr;
    static inline std::filesystem::path folder_;
};

TEST_F(PdfReportTest, TheReportFaceIsTheDerivedOneFromTheBuildFolder) {
    EXPECT_EQ(font_->family.toStdString(), "Pile Report Serif CJK SC");
    EXPECT_TRUE(font_->warning.empty()) << Utf16ToUtf8(font_->warning);
}

// Searching the PDF finds what the report shows, ideographs that share a glyph with a radical
// (工, 长, 力) included.
TEST_F(PdfReportTest, TheTextHoldsTheCoverEveryTitleOnePilesStepsAndTheChecks) {
    const std::string text = Text();
    const ProjectInfo project = Project();
    for (const ProjectField& field : kProjectFields) {
        EXPECT_NE(text.find(Utf16ToUtf8(project.*field.member)), std::string::npos)
            << Utf16ToUtf8(field.key);
    }
    EXPECT_NE(text.find("版本 " + Utf16ToUtf8(ThisProgram().version)), std::string::npos);
    for (const std::u16string_view title :
         {kContentsTitle, kBasisTitle, kSummaryTitle, kSketchTitle, kStepsTitle, kCheckTitle}) {
        EXPECT_NE(Squeezed(text).find(Squeezed(Utf16ToUtf8(title))), std::string::npos)
            << Utf16ToUtf8(title);
    }
    for (const PileSection& pile : content_->piles) {
        EXPECT_NE(text.find(Utf16ToUtf8(pile.title)), std::string::npos);
    }
    for (const Block& block : content_->piles.front().blocks) {
        for (const StepRow& step : block.steps) {
            EXPECT_NE(text.find(Utf16ToUtf8(step.quantity)), std::string::npos)
                << Utf16ToUtf8(step.quantity);
            EXPECT_NE(text.find(Utf16ToUtf8(step.value)), std::string::npos)
                << Utf16ToUtf8(step.quantity) << " " << Utf16ToUtf8(step.value);
        }
    }
    for (const PileSection& pile : content_->piles) {
        if (pile.check) {
            EXPECT_NE(text.find(Utf16ToUtf8(pile.check->lines.front().text)), std::string::npos);
            EXPECT_NE(Squeezed(text).find(Squeezed(Utf16ToUtf8(pile.check->verdict))),
                      std::string::npos);
        }
    }
}

// The cover has no footer, as in the Word report: the second page is the first that counts.
TEST_F(PdfReportTest, TheFooterCountsThePagesOfTheFile) {
    const int pages = Pages();
    const std::string count = std::to_string(pages);
    EXPECT_EQ(Text(1).find("页 共"), std::string::npos);
    EXPECT_NE(Text(2).find("第 2 页 共 " + count + " 页"), std::string::npos);
    EXPECT_NE(Text(pages).find("第 " + count + " 页 共 " + count + " 页"), std::string::npos);
}

// The contents give each heading the page it is printed on; only 计算汇总 is landscape.
TEST_F(PdfReportTest, TheContentsGiveEachHeadingItsPage) {
    const std::string contents = Text(2);
    std::vector<std::u16string> headings{std::u16string(kBasisTitle),
                                         std::u16string(kSummaryTitle)};
    for (const PileSection& pile : content_->piles) {
        headings.push_back(pile.title);
    }
    const std::string sizes = Output("pdfinfo -f 1 -l 99 '" + Path() + "'");
    for (const std::u16string& heading : headings) {
        const std::string name = Utf16ToUtf8(heading);
        const std::size_t at = contents.find(name);
        ASSERT_NE(at, std::string::npos) << name;
        const int page =
            std::stoi(contents.substr(contents.find_first_of("0123456789", at + name.size())));
        // Below the running header, first on its page.
        EXPECT_EQ(
            Squeezed(Text(page))
                .find(Squeezed(Utf16ToUtf8(Project().name + std::u16string(kReportTitle)) + name)),
            0u)
            << name << " on page " << page;
        const std::string size = "Page" + std::string(5 - std::to_string(page).size(), ' ') +
                                 std::to_string(page) + " size: ";
        const std::size_t line = sizes.find(size);
        ASSERT_NE(line, std::string::npos);
        EXPECT_EQ(sizes.substr(line + size.size(), 10) == " 842 x 595", heading == kSummaryTitle)
            << name << ": " << sizes.substr(line, 40);
    }
}

TEST(ReportFontTest, FilesAreLookedForBesideTheProgramThenInstalledThenInTheBuild) {
    const QStringList candidates =
        FontFileCandidates(QStringLiteral("/opt/pile/bin"), QStringLiteral("Face.otf"));
    ASSERT_EQ(candidates.size(), 3);
    EXPECT_EQ(candidates[0].toStdString(), "/opt/pile/bin/Face.otf");
    EXPECT_EQ(candidates[1].toStdString(), "/opt/pile/share/rock-socketed-pile/fonts/Face.otf");
    EXPECT_TRUE(candidates[2].endsWith(QStringLiteral("/fonts/Face.otf")));
}

}  // namespace
}  // namespace pile::report
