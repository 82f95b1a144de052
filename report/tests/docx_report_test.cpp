#include "report/docx_report.h"

#include <expat.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "engine/utf_text.h"
#include "report/tests/report_session.h"
#include "report/xml_writer.h"

namespace pile::report {
namespace {

ProjectInfo Project() {
    ProjectInfo project;
    for (const ProjectField& field : kProjectFields) {
        // Markup in every field: the cover must still be well-formed and show it as typed.
        project.*field.member =
            std::u16string(field.key) + u"<值&\"" + std::u16string(field.key.substr(0, 1)) + u">";
    }
    return project;
}

std::map<std::string, std::string> Parts(const std::string& docx) {
    std::map<std::string, std::string> parts;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(docx.data(), docx.size(), 0, &error);
    zip_t* archive =
        source ? zip_open_from_source(source, ZIP_CHECKCONS | ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return parts;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        parts[stat.name] = std::move(bytes);
    }
    zip_close(archive);
    return parts;
}

bool WellFormed(const std::string& xml) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool ok =
        XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_ERROR;
    XML_ParserFree(parser);
    return ok;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class DocxReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        content_ = GatherReport(ThreePileSession().Records());
        auto docx = DocxReport(content_, Project(), ThisProgram());
        ASSERT_TRUE(std::holds_alternative<std::string>(docx));
        bytes_ = std::get<std::string>(docx);
        parts_ = Parts(bytes_);
        ASSERT_TRUE(parts_.contains("word/document.xml"));
        document_ = parts_["word/document.xml"];
    }

    ReportContent content_;
    std::string bytes_;
    std::map<std::string, std::string> parts_;
    std::string document_;
};

TEST_F(DocxReportTest, EveryPartIsWellFormed) {
    EXPECT_EQ(parts_.size(), 10u);
    for (const auto& [name, xml] : parts_) {
        EXPECT_TRUE(WellFormed(xml)) << name;
    }
}

TEST_F(DocxReportTest, TheCoverHoldsEveryFieldAndTheProgramVersion) {
    const ProjectInfo project = Project();
    for (const ProjectField& field : kProjectFields) {
        EXPECT_NE(document_.find(EscapedXml(project.*field.member)), std::string::npos)
            << Utf16ToUtf8(field.key);
    }
    EXPECT_NE(document_.find(EscapedXml(u"版本 " + std::u16string(ThisProgram().version))),
              std::string::npos);
    EXPECT_NE(parts_["word/header1.xml"].find(EscapedXml(project.name)), std::string::npos);
}

TEST_F(DocxReportTest, OneSectionAndOneSketchPerPileWithEveryValueAndClause) {
    EXPECT_EQ(Count(document_, "<v:group "), content_.piles.size());
    for (const PileSection& pile : content_.piles) {
        EXPECT_NE(document_.find(">" + Utf16ToUtf8(pile.title) + "</w:t>"), std::string::npos);
        for (const Block& block : pile.blocks) {
            for (const StepRow& step : block.steps) {
                EXPECT_NE(document_.find(">" + EscapedXml(step.value) + "</w:t>"),
                          std::string::npos)
                    << Utf16ToUtf8(step.quantity);
            }
            for (const FormulaRow& formula : block.formulas) {
                EXPECT_NE(document_.find(EscapedXml(formula.clause)), std::string::npos);
            }
        }
    }
}

TEST_F(DocxReportTest, EveryRunNamesItsChineseFont) {
    EXPECT_EQ(Count(document_, "<w:r>"), Count(document_, "w:eastAsia=\""));
    EXPECT_EQ(Count(document_, "w:eastAsia=\""),
              Count(document_, Utf16ToUtf8(u"w:eastAsia=\"宋体\"")));
}

TEST_F(DocxReportTest, FieldsUpdateOnOpeningAndTheFooterCountsPages) {
    EXPECT_NE(parts_["word/settings.xml"].find("<w:updateFields w:val=\"true\"/>"),
              std::string::npos);
    const std::string& footer = parts_["word/footer1.xml"];
    EXPECT_NE(footer.find(" PAGE "), std::string::npos);
    EXPECT_NE(footer.find(" NUMPAGES "), std::string::npos);
    EXPECT_EQ(Count(document_, " PAGEREF "), content_.piles.size() + 2);
    EXPECT_EQ(Count(document_, "w:orient=\"landscape\""), 1u);
}

// Each of the three piles' sections and the zip count a step; 取消 at any step leaves no bytes,
// and a report that runs through gives the bytes it gives without a dialog.
TEST_F(DocxReportTest, ProgressCountsTheStepsAndStopsAtAnyOfThem) {
    for (std::size_t stopAt = 1; stopAt <= 5; ++stopAt) {
        std::string steps;
        const auto docx = DocxReport(
            content_, Project(), ThisProgram(), [&](std::size_t done, std::size_t total) {
                steps += std::to_string(done) + "/" + std::to_string(total) + " ";
                return done < stopAt;
            });
        if (stopAt <= 3) {
            EXPECT_EQ(std::get<std::u16string>(docx), kReportStopped) << stopAt;
        } else {
            EXPECT_EQ(std::get<std::string>(docx), bytes_) << stopAt;
            EXPECT_EQ(steps, "1/4 2/4 3/4 4/4 ");
        }
    }
}

TEST_F(DocxReportTest, TheSameContentGivesTheSameBytes) {
    const std::string again = std::get<std::string>(DocxReport(content_, Project(), ThisProgram()));
    EXPECT_TRUE(again == bytes_);
    EXPECT_TRUE(Parts(again)["word/document.xml"] == document_);
}

TEST(DocxReportChecksTest, AFailedCheckIsRedInTheSummaryAndInItsSection) {
    PileCheck failed;
    failed.passed = false;
    failed.verdict = u"不满足（Nk>Ra）";
    failed.lines = {{u"Nk = 20000 kN > Ra = 13978 kN，不满足要求", false}};
    const ReportContent content =
        GatherReport(ThreePileSession().Records(), {std::nullopt, failed});
    const std::string document =
        Parts(std::get<std::string>(DocxReport(content, {}, ThisProgram())))["word/document.xml"];
    const std::string red = "<w:color w:val=\"FF0000\"/>";
    for (const std::u16string& text : {failed.verdict, failed.lines[0].text}) {
        const std::size_t at = document.find(">" + EscapedXml(text) + "<");
        ASSERT_NE(at, std::string::npos);
        const std::size_t run = document.rfind("<w:r>", at);
        EXPECT_NE(document.substr(run, at - run).find(red), std::string::npos);
    }
    EXPECT_EQ(Count(document, red), 2u);
}

// The output of a command, or nothing when it cannot run.
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

std::filesystem::path WriteReport(const std::string& bytes, const std::string& name) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("report_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// A second reader of the document, python-docx: the cover's cells, the headings and every
// table's cells as it reads them.
TEST_F(DocxReportTest, PythonDocxReadsTheCoverTheSectionsAndTheValues) {
    const std::string python = PILE_TEST_PYTHON;
    if (python.empty() || Output(python + " -c 'import docx; print(1)' 2>/dev/null") != "1\n") {
        GTEST_SKIP() << "python3-docx is not installed: the document is not read back with it";
    }
    const auto path = WriteReport(bytes_, "report.docx");
    const std::string read =
        Output(python + " " + PILE_TEST_SOURCE_DIR "/report/tests/read_docx.py " + path.string());
    std::filesystem::remove_all(path.parent_path());
    const ProjectInfo project = Project();
    for (const ProjectField& field : kProjectFields) {
        EXPECT_NE(read.find(Utf16ToUtf8(project.*field.member)), std::string::npos)
            << Utf16ToUtf8(field.key);
    }
    EXPECT_EQ(Count(read, "\nHeading 1|ZH"), content_.piles.size());
    for (const PileSection& pile : content_.piles) {
        for (const Block& block : pile.blocks) {
            for (const StepRow& step : block.steps) {
                EXPECT_NE(read.find("\n" + Utf16ToUtf8(step.value) + "\n"), std::string::npos);
            }
        }
    }
}

TEST_F(DocxReportTest, LibreOfficeConvertsItWithPageXOfY) {
    if (Output("command -v soffice").empty() || Output("command -v pdftotext").empty()) {
        GTEST_SKIP() << "soffice (LibreOffice) or pdftotext is not installed: no PDF made";
    }
    const auto path = WriteReport(bytes_, "report.docx");
    const std::string folder = path.parent_path().string();
    Output("cd '" + folder + "' && HOME='" + folder +
           "' timeout 180 soffice --headless --convert-to pdf report.docx >/dev/null 2>&1");
    const std::string pages =
        Output("pdfinfo '" + folder + "/report.pdf' | awk '/^Pages:/{print $2}'");
    const std::string text = Output("pdftotext '" + folder + "/report.pdf' -");
    std::filesystem::remove_all(folder);
    ASSERT_FALSE(pages.empty()) << "no PDF";
    const std::string count = pages.substr(0, pages.find('\n'));
    // The cover has no footer; the second page is the first that counts.
    EXPECT_NE(text.find("第 2 页 共 " + count + " 页"), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("第 " + count + " 页 共 " + count + " 页"), std::string::npos);
    for (const PileSection& pile : content_.piles) {
        EXPECT_NE(text.find(Utf16ToUtf8(pile.title)), std::string::npos);
    }
}

}  // namespace
}  // namespace pile::report
