// The input screen as data: what every control of the panel shows, and the rules by which each
// event changes it. The window draws PanelView in one go and sends the events; nothing of the
// panel's state is read back from its widgets.
//
// The cascades are the model's own, written once:
//
//   ChooseMode     the section list of the mode, its first item chosen (ChooseSection's rules),
//                  then the rock box, the coefficient's name, the formula and the process list
//                  with its first pick; every result goes and "计算" comes back
//   ChooseSection  the labels and lists of the section, the rock mode's controls again (the
//                  process list back to its first pick), cbe_tyzd and cbe_hr take the section's
//                  start texts; a text that changes is committed as typed (CommitText)
//   CommitText     an unchanged text does nothing; else the results it makes stale go, "计算"
//                  comes back and the quick check of the box colours it (panel_layout.h)
//   PickGrade, PickProcess: likewise, with no check
//   Compute        the session's compute step shown: the rewritten sides committed, each passed
//                  box black, a failure red, or the results with "结果" in place of "计算"
//
// Layouts and checks: panel_layout.h; the compute step and the books: panel_session.h.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "session/panel_layout.h"
#include "session/panel_session.h"

namespace pile::session {

// A colour the panel sets on a box or the message label; a box starts in the style's own.
enum class TextColour { Black, Red };

struct BoxView {
    std::u16string text;
    std::optional<TextColour> colour;  // none: the style's own, until a check colours it
    friend bool operator==(const BoxView&, const BoxView&) = default;
};

struct PanelView {
    RockParameterMode rockMode = RockParameterMode::Frk;  // rdb_frk or rdb_fuk checked
    ListItems sectionItems;                               // cbb_jmlx
    int section = 0;
    std::u16string_view ddLabel;    // lb_dd
    std::u16string_view tyzdLabel;  // lb_tyzd
    bool tyzdEnabled = false;       // lb_tyzd and cbe_tyzd
    ListItems tyzdItems;            // cbe_tyzd
    ListItems hrItems;              // cbe_hr
    int grade = 0;                  // cbb_hnt, ConcreteGrade order
    ListItems processItems;         // cbb_czgy
    int process = 0;
    // cbe_dd, cbe_tyzd, cbe_hr, edt_frk and edt_fuk, in InputControl order.
    std::array<BoxView, 5> boxes;
    InputControl rockBox = InputControl::Frk;  // the rock box enabled; the other one is not
    std::u16string_view coefficientName;       // lb_kesair
    std::u16string_view formula;               // lb_tiaowen
    std::u16string coefficient;                // edt_kesair
    std::u16string ra;                         // edt_ra
    std::u16string rc;                         // edt_rc
    // lb_shuoming: once shown it stays in place of the logo; emptying it keeps it shown.
    std::u16string message;
    TextColour messageColour = TextColour::Red;
    bool messageShown = false;
    bool resultShown = false;  // "结果" in place of "计算"
    PrecisionMode precision = kStartPrecision;
    bool precisionShown = false;  // popbox_jingdu

    const BoxView& Box(InputControl control) const { return boxes[static_cast<int>(control)]; }
    friend bool operator==(const PanelView&, const PanelView&) = default;
};

class PanelModel {
  public:
    // The window as it starts (StartPanel): cbe_tyzd offers the list of cbe_dd and lb_tiaowen
    // the start formula until the first mode or section is applied. The quick checks read
    // texts in the user's number format, with `decimalSeparator`.
    explicit PanelModel(char16_t decimalSeparator = u'.');

    const PanelView& View() const { return view_; }
    // The panel as "计算" reads it.
    PanelInput Input() const;
    SectionType Section() const;

    // rdb_frk or rdb_fuk chosen; the mode chosen already changes nothing.
    void ChooseMode(RockParameterMode mode);
    // An item of cbb_jmlx, cbb_hnt or cbb_czgy picked; the item picked already changes nothing,
    // and so does an index outside the list.
    void ChooseSection(int index);
    void PickGrade(int index);
    void PickProcess(int index);
    // A box's text committed (Enter, the focus leaving it, or the program's own change).
    void CommitText(InputControl box, std::u16string_view text);

    // A text typed and not committed, as "计算" reads it: the box holds it, nothing else changes;
    // its commit later counts against the text committed before.
    void TakeTyped(InputControl box, std::u16string_view text) { BoxOf(box).text = text; }

    // "≈": the precision pop-up shown or hidden.
    void TogglePrecision();
    // A precision picked. True when the pop-up is shown and the pick changes it: that pick is
    // a whole new calculation, which the caller then runs with Compute.
    bool PickPrecision(PrecisionMode precision);

    // "计算": the panel computed into the session's books; the update shown.
    PanelUpdate Compute(PanelSession& session, char16_t decimalSeparator,
                        std::u16string_view calculationTime, std::u16string_view mark = {},
                        const schedule::LoadTexts& loads = {});
    // A compute step's update as the panel shows it; false when a check failed.
    bool ShowUpdate(const PanelUpdate& update);

    // "新建计算书": the results go, the message is emptied, "计算" comes back.
    void NewBooks();

    // "x": the newest record goes from the books; the panel stays as it is.
    BooksChange DeleteLast(PanelSession& session) { return session.DeleteLast(); }

    // A record of the books in the panel as after its "计算", without a record more: set as a
    // person would set it (mode, section, boxes, lists, precision with the pop-up hidden),
    // then its preview shown.
    void ShowRecord(const PanelSession& session, const RecordInputs& record);
    // After an import or a recovery: the books' last record shown, when there is one.
    void ShowLastRecord(const PanelSession& session);

  private:
    BoxView& BoxOf(InputControl control) { return view_.boxes[static_cast<int>(control)]; }
    void ApplyRockControls();
    void ApplySection();
    void Changed(PanelField field);
    void ShowMessage(std::u16string_view text, TextColour colour);

    PanelView view_;
    std::array<std::u16string, 5> committed_;  // the boxes' texts as last committed
    char16_t separator_;
};

}  // namespace pile::session
