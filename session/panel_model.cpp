#include "session/panel_model.h"

#include <variant>

#include "engine/pile_input.h"

namespace pile::session {

namespace {

// The position of `value` in a list that `fromIndex` reads; 0 when the list lacks it.
template <typename FromIndex, typename Value>
int IndexOf(FromIndex fromIndex, Value value) {
    for (int i = 0; const auto item = fromIndex(i); ++i) {
        if (*item == value) {
            return i;
        }
    }
    return 0;
}

PanelField FieldOf(InputControl box) {
    switch (box) {
        case InputControl::Diameter:
            break;
        case InputControl::StraightLength:
            return PanelField::StraightLength;
        case InputControl::SocketDepth:
            return PanelField::SocketDepth;
        case InputControl::Frk:
            return PanelField::Frk;
        case InputControl::Fuk:
            return PanelField::Fuk;
    }
    return PanelField::Diameter;
}

}  // namespace

PanelModel::PanelModel(char16_t decimalSeparator) : separator_(decimalSeparator) {
    const PanelInput& start = StartPanel();
    const RockModeLayout& mode = LayoutOf(start.rockMode);
    const SectionLayout& section = LayoutOf(start.sectionType);
    view_.rockMode = start.rockMode;
    view_.sectionItems = mode.sectionItems;
    view_.section =
        IndexOf([&](int i) { return SectionTypeFromIndex(i, start.rockMode); }, start.sectionType);
    view_.ddLabel = section.ddLabel;
    view_.tyzdLabel = section.tyzdLabel;
    view_.tyzdEnabled = section.tyzdEnabled;
    view_.tyzdItems = DimensionItems();
    view_.hrItems = section.hrItems;
    view_.grade = static_cast<int>(start.concreteGrade);
    view_.processItems = mode.processItems;
    view_.process = mode.processSelection;
    BoxOf(InputControl::Diameter).text = start.ddText;
    BoxOf(InputControl::StraightLength).text = section.tyzdText;
    BoxOf(InputControl::SocketDepth).text = start.hrText;
    BoxOf(InputControl::Frk).text = start.frkText;
    BoxOf(InputControl::Fuk).text = start.fukText;
    view_.rockBox = mode.rockBox;
    view_.coefficientName = mode.coefficientName;
    view_.formula = StartFormula();
    for (std::size_t i = 0; i < committed_.size(); ++i) {
        committed_[i] = view_.boxes[i].text;
    }
}

SectionType PanelModel::Section() const {
    return SectionTypeFromIndex(view_.section, view_.rockMode).value_or(SectionType::Circle);
}

PanelInput PanelModel::Input() const {
    PanelInput panel;
    panel.sectionType = Section();
    panel.rockMode = view_.rockMode;
    panel.ddText = view_.Box(InputControl::Diameter).text;
    panel.tyzdText = view_.Box(InputControl::StraightLength).text;
    panel.hrText = view_.Box(InputControl::SocketDepth).text;
    panel.frkText = view_.Box(InputControl::Frk).text;
    panel.fukText = view_.Box(InputControl::Fuk).text;
    panel.concreteGrade = ConcreteGradeFromIndex(view_.grade).value_or(panel.concreteGrade);
    panel.process = ProcessFromIndex(view_.process, view_.rockMode).value_or(panel.process);
    return panel;
}

// Both radio buttons of the pair report a switch and each lays the panel out for the new mode;
// the second pass finds every text as the first left it, so once is the whole of it.
void PanelModel::ChooseMode(RockParameterMode mode) {
    if (mode == view_.rockMode) {
        return;
    }
    view_.rockMode = mode;
    view_.sectionItems = LayoutOf(mode).sectionItems;
    view_.section = 0;
    ApplySection();
}

void PanelModel::ChooseSection(int index) {
    if (index == view_.section || !SectionTypeFromIndex(index, view_.rockMode)) {
        return;
    }
    view_.section = index;
    ApplySection();
}

void PanelModel::PickGrade(int index) {
    if (index == view_.grade || !ConcreteGradeFromIndex(index)) {
        return;
    }
    view_.grade = index;
    Changed(PanelField::ConcreteGrade);
}

void PanelModel::PickProcess(int index) {
    if (index == view_.process || !ProcessFromIndex(index, view_.rockMode)) {
        return;
    }
    view_.process = index;
    Changed(PanelField::Process);
}

// The quick check is feedback only: "计算" checks every input again, and more strictly.
void PanelModel::CommitText(InputControl box, std::u16string_view text) {
    BoxView& view = BoxOf(box);
    view.text = text;
    std::u16string& committed = committed_[static_cast<std::size_t>(box)];
    if (committed == text) {
        return;
    }
    committed = text;
    const PanelField field = FieldOf(box);
    Changed(field);
    const QuickCheckResult check = QuickCheck(field, Section(), text, separator_);
    if (check.verdict == CheckVerdict::Passed) {
        view_.message.clear();
        view.colour = TextColour::Black;
    } else if (check.verdict == CheckVerdict::Failed) {
        ShowMessage(check.message, TextColour::Red);
        view.colour = TextColour::Red;
    }
}

// The section's labels, the rock mode's controls (the process list back at its first pick),
// then the section's start texts in cbe_tyzd and cbe_hr, each committed as typed.
void PanelModel::ApplySection() {
    const SectionLayout& layout = LayoutOf(Section());
    view_.ddLabel = layout.ddLabel;
    view_.tyzdLabel = layout.tyzdLabel;
    view_.tyzdEnabled = layout.tyzdEnabled;
    ApplyRockControls();
    view_.tyzdItems = layout.tyzdItems;
    CommitText(
        InputControl::StraightLength,
        layout.tyzdSelection >= 0
            ? std::u16string_view(layout.tyzdItems[static_cast<std::size_t>(layout.tyzdSelection)])
            : layout.tyzdText);
    view_.hrItems = layout.hrItems;
    CommitText(InputControl::SocketDepth, layout.hrItems.front());
    Changed(PanelField::SectionType);
}

void PanelModel::ApplyRockControls() {
    const RockModeLayout& layout = LayoutOf(view_.rockMode);
    view_.rockBox = layout.rockBox;
    view_.coefficientName = layout.coefficientName;
    view_.formula = layout.formula;
    view_.processItems = layout.processItems;
    view_.process = layout.processSelection;
    Changed(PanelField::Process);  // the list emptied and refilled is a change of its own
}

// The results the change makes stale go, and "计算" comes back.
void PanelModel::Changed(PanelField field) {
    const StaleResults stale = StaleAfterChange(field);
    if (stale.coefficient) {
        view_.coefficient.clear();
    }
    if (stale.ra) {
        view_.ra.clear();
    }
    if (stale.rc) {
        view_.rc.clear();
    }
    view_.resultShown = false;
}

void PanelModel::ShowMessage(std::u16string_view text, TextColour colour) {
    view_.message = text;
    view_.messageColour = colour;
    view_.messageShown = true;
}

void PanelModel::TogglePrecision() {
    view_.precisionShown = !view_.precisionShown;
}

bool PanelModel::PickPrecision(PrecisionMode precision) {
    if (precision == view_.precision) {
        return false;
    }
    view_.precision = precision;
    return view_.precisionShown;
}

PanelUpdate PanelModel::Compute(PanelSession& session, char16_t decimalSeparator,
                                std::u16string_view calculationTime, std::u16string_view mark,
                                const schedule::LoadTexts& loads) {
    PanelUpdate update =
        session.Compute(Input(), view_.precision, decimalSeparator, calculationTime, mark, loads);
    ShowUpdate(update);
    return update;
}

bool PanelModel::ShowUpdate(const PanelUpdate& update) {
    // The rectangle's exchange writes the boxes as the program's own change, with its rules,
    // in the middle of the calculation.
    if (update.sidesRewritten) {
        CommitText(InputControl::Diameter, update.ddText);
        CommitText(InputControl::StraightLength, update.tyzdText);
    }
    for (const InputControl control : update.passed) {
        view_.message.clear();
        BoxOf(control).colour = TextColour::Black;
    }
    if (const auto* failure = std::get_if<ValidationFailure>(&update.outcome)) {
        ShowMessage(failure->message, TextColour::Red);
        BoxOf(failure->control).colour = TextColour::Red;
        return false;
    }
    const ResultTexts& results = std::get<ResultTexts>(update.outcome);
    if (results.rockClass) {
        ShowMessage(*results.rockClass, TextColour::Black);
    }
    view_.coefficientName = results.coefficientName;
    view_.coefficient = results.coefficient;
    view_.ra = results.ra;
    view_.rc = results.rc;
    view_.resultShown = true;
    view_.precisionShown = false;
    return true;
}

void PanelModel::NewBooks() {
    view_.coefficient.clear();
    view_.ra.clear();
    view_.rc.clear();
    view_.resultShown = false;
    view_.message.clear();
}

void PanelModel::ShowRecord(const PanelSession& session, const RecordInputs& record) {
    const PanelInput& panel = record.panel;
    view_.precisionShown = false;  // a pick in the shown pop-up would be a calculation
    ChooseMode(panel.rockMode);
    ChooseSection(
        IndexOf([&](int i) { return SectionTypeFromIndex(i, panel.rockMode); }, panel.sectionType));
    CommitText(InputControl::Diameter, panel.ddText);
    CommitText(InputControl::StraightLength, panel.tyzdText);
    CommitText(InputControl::SocketDepth, panel.hrText);
    PickGrade(IndexOf([](int i) { return ConcreteGradeFromIndex(i); }, panel.concreteGrade));
    PickProcess(IndexOf([&](int i) { return ProcessFromIndex(i, panel.rockMode); }, panel.process));
    CommitText(InputControl::Frk, panel.frkText);
    CommitText(InputControl::Fuk, panel.fukText);
    PickPrecision(record.precision);
    ShowUpdate(session.Preview(record));
}

void PanelModel::ShowLastRecord(const PanelSession& session) {
    if (!session.Records().empty()) {
        ShowRecord(session, session.Records().back());
    }
}

}  // namespace pile::session
