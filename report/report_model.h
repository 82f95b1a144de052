// The content of a calculation report, gathered from the records of a session: for each pile the
// text book's record laid out as headings, tables of steps and formulas, the table book's row,
// the inputs a sketch is drawn from, and the load checks where loads were given. Every value is
// the text the books print for it: the books' own functions write them, nothing here formats a
// number of the calculation.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/pile_types.h"
#include "session/panel_session.h"
#include "session/schedule_run.h"

namespace pile::report {

using Cells = std::vector<std::u16string>;

// A book line of fixed-width cells as a list of cells: cells stand two blanks or more apart,
// a name spread over its cell ("圆  桩", "深 径 比", "基    桩") is closed up again.
Cells SplitCells(std::u16string_view line);

// One value line of the text book: "4.5", "桩竖向极限承载力标准值", "Quk", "10628.32", "kN".
struct StepRow {
    std::u16string number;
    std::u16string quantity;
    std::u16string symbol;
    std::u16string value;
    std::u16string unit;
};

struct FormulaRow {
    std::u16string formula;  // or the condition a formula holds under ("hr＜0.5d 或 0.5b 时")
    std::u16string clause;   // "(8.7.8-7)"; empty for a condition
};

// A part of a pile's section, in the order of the text book's record.
struct Block {
    enum class Kind { Heading, Subheading, Steps, Formulas, Text, CellTable };
    Kind kind = Kind::Text;
    std::u16string text;               // Heading, Subheading, Text
    std::vector<StepRow> steps;        // Steps
    std::vector<FormulaRow> formulas;  // Formulas
    std::vector<Cells> rows;           // CellTable: two heading rows, then the values
};

// What the sketch labels, each as the text book prints it.
struct SketchTexts {
    std::u16string d, c, a, b;  // the dimensions the section has
    std::u16string hr;
    std::u16string grade;
    std::u16string rockValue;  // "frk=25.00 MPa" or "fuk=24.00 MPa"
    std::u16string rockClass;  // frk mode only
};

// One load check as a line of the report, and whether it is met.
struct CheckLine {
    std::u16string text;
    bool passed = true;
};

// The loads of one pile, checked: the summary's cells and the section's lines.
struct PileCheck {
    std::u16string loads;  // the summary's cell, a load a line: "Nk=5000\nN=8000"
    std::u16string ratios;
    std::u16string verdict;
    bool passed = true;
    std::vector<CheckLine> lines;
};

struct PileSection {
    std::u16string title;  // "ZH1", or the schedule's mark for the pile
    PileInput input;       // the geometry of the sketch
    SketchTexts sketch;
    std::vector<Block> blocks;
    Cells tableRow;  // the table book's row, cell by cell, spread names closed up
    std::optional<PileCheck> check;
};

struct ReportContent {
    std::vector<Cells> tableHeadings;  // the table book's two heading lines as cells
    std::vector<PileSection> piles;
    std::u16string code;  // "《建筑地基基础设计规范》(DBJ 50-047-2016)", as the books name it
    std::u16string timeLine;  // the books' last line: "计算时间：" and the newest record's time
    bool anyCheck = false;
};

// One entry per record of `records` (a session's Records()); `checks`, when not empty, holds
// the checks of the same records, none where a pile has no loads. Records that no longer
// compute (never, for a session's own) are left out.
ReportContent GatherReport(const std::vector<session::RecordInputs>& records,
                           const std::vector<std::optional<PileCheck>>& checks = {});

// The checks of a schedule's rows by the record each computed row wrote (a run on a fresh
// session numbers them from 1), none for a row without loads.
std::vector<std::optional<PileCheck>> ChecksOf(const session::ScheduleOutcome& outcome);

// The checks of a session's records from the loads each carries (a schedule's, imported or
// recovered), against the Ra and Rc its calculation prints; none for a record without loads.
std::vector<std::optional<PileCheck>> ChecksOfRecords(
    const std::vector<session::RecordInputs>& records);

// A row's check as the report prints it: its loads as written, Ra and Rc as the result panel
// shows them (the texts the check was made against).
PileCheck CheckOf(const session::RowOutcome& row);

}  // namespace pile::report
