#include "BXV_PAS_VORN1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <algorithm>

#include "BXV_CZL_PAS_CopyRight.h"
#include "book_export.h"
#include "calculation_time.h"
#include "change_events.h"
#include "engine/code_tables.h"
#include "engine/fixed_text.h"
#include "engine/number_parse.h"
#include "logo_strip.h"
#include "memo_sync.h"
#include "panel_texts.h"
#include "qt_text.h"
#include "scaled_layer.h"
#include "ui/platform/book_save_flow.h"
#include "ui/platform/file_dialogs.h"
#include "ui/platform/message_box_presenter.h"
#include "ui/platform/permission_service.h"
#include "ui/platform/system_shell.h"
#include "ui_colours.h"
#include "ui_fonts.h"

using pile::ui::ToQString;
using pile::ui::ToU16;
namespace texts = pile::ui::texts;

using pile::ui::colours::kBlack;
using pile::ui::colours::kRed;

TBXV_FRM_VORN1::TBXV_FRM_VORN1(QWidget* parent) : TBXV_FRM_VORN1(WindowPlatform{}, parent) {}

TBXV_FRM_VORN1::TBXV_FRM_VORN1(WindowPlatform platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("BXV_FRM_VORN1"));
    setWindowTitle(texts::kTitle);
    setFont(pile::ui::ControlFont());
    setFixedSize(pile::ui::kDesignSize);
    CreateControls();
    ConnectHandlers();
    ConnectPlatform(platform);
    CentreOnScreen();
    cbe_dd->setFocus();  // the keyboard starts in the first box a person types into
    FormCreate();
}

TBXV_FRM_VORN1::~TBXV_FRM_VORN1() = default;

void TBXV_FRM_VORN1::SetClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
}

void TBXV_FRM_VORN1::ConnectHandlers() {
    using pile::ui::ComboTextChange;
    using pile::ui::ListChange;
    using pile::ui::RadioChange;
    using pile::ui::TextChange;
    using W = TBXV_FRM_VORN1;

    jmlxChange_ = new ListChange(cbb_jmlx);
    ddChange_ = new ComboTextChange(cbe_dd);
    tyzdChange_ = new ComboTextChange(cbe_tyzd);
    hrChange_ = new ComboTextChange(cbe_hr);
    hntChange_ = new ListChange(cbb_hnt);
    czgyChange_ = new ListChange(cbb_czgy);
    frkChange_ = new TextChange(edt_frk);
    fukChange_ = new TextChange(edt_fuk);
    frkModeChange_ = new RadioChange(rdb_frk);
    fukModeChange_ = new RadioChange(rdb_fuk);
    jingduChange_ = new ListChange(popbox_jingdu);

    connect(jmlxChange_, &ListChange::changed, this, &W::cbb_jmlxChange);
    connect(ddChange_, &TextChange::changed, this, &W::cbe_ddChange);
    connect(tyzdChange_, &TextChange::changed, this, &W::cbe_tyzdChange);
    connect(hrChange_, &TextChange::changed, this, &W::cbe_hrChange);
    connect(hntChange_, &ListChange::changed, this, &W::cbb_hntChange);
    connect(czgyChange_, &ListChange::changed, this, &W::cbb_czgyChange);
    connect(frkChange_, &TextChange::changed, this, &W::edt_frkChange);
    connect(fukChange_, &TextChange::changed, this, &W::edt_fukChange);
    connect(frkModeChange_, &RadioChange::changed, this, &W::rdb_frkChange);
    connect(fukModeChange_, &RadioChange::changed, this, &W::rdb_fukChange);
    connect(jingduChange_, &ListChange::changed, this, &W::popbox_jingduChange);

    connect(cbt_tuichu, &QPushButton::clicked, this, &W::cbt_tuichuClick);
    connect(cbt_CopyRight, &QPushButton::clicked, this, &W::cbt_CopyRightClick);
    connect(cbt_compute, &QPushButton::clicked, this, &W::cbt_computeClick);
    connect(cbt_JingDu, &QPushButton::clicked, this, &W::cbt_JingDuClick);
    connect(cbt_View, &QPushButton::clicked, this, &W::cbt_ViewClick);
    connect(cbt_Exit, &QPushButton::clicked, this, &W::cbt_ExitClick);
    connect(cbt_PageBook, &QPushButton::clicked, this, &W::cbt_PageBookClick);
    connect(cbt_sanchu, &QPushButton::clicked, this, &W::cbt_sanchuClick);
    connect(cbt_Save, &QPushButton::clicked, this, &W::cbt_SaveClick);
    connect(tcb_meoFontSize, &QSlider::valueChanged, this, &W::tcb_meoFontSizeChange);
}

void TBXV_FRM_VORN1::ConnectPlatform(WindowPlatform platform) {
    using namespace pile::platform;
    if (platform.permissions == nullptr) {
        desktopPermissions_ = std::make_unique<DesktopPermissionService>();
        platform.permissions = desktopPermissions_.get();
    }
    if (platform.messages == nullptr) {
        desktopMessages_ = std::make_unique<MessageBoxPresenter>(this);
        platform.messages = desktopMessages_.get();
    }
    if (platform.shell == nullptr) {
        desktopShell_ = std::make_unique<DesktopShell>();
        platform.shell = desktopShell_.get();
    }
    shell_ = platform.shell;
    saveFlow_ = std::make_unique<BookSaveFlow>(
        *platform.permissions, *platform.messages,
        BookSaveFlow::Hooks{
            .pageBookCaption = [this] { return cbt_PageBook->text(); },
            .bookLines = [this](BookKind book) -> const std::vector<std::u16string>* {
                return book == BookKind::Text ? &books_.TextLines() : &books_.TableLines();
            },
            .bookSaved =
                [this](BookKind book) {
                    books_.MarkSaved(static_cast<pile::Book>(book));
                    cbt_Save->setEnabled(false);
                },
        });
    ConnectBookExport(platform.dialogs, *platform.messages);
}

// "另存为…", "导出 PDF…" and "打印…" in the memos' menus, Ctrl+Shift+S and Ctrl+P on the book
// screen. A text file saved as takes its book's bit off the flags as "保存" does.
void TBXV_FRM_VORN1::ConnectBookExport(pile::platform::FileDialogs* dialogs,
                                       pile::platform::MessagePresenter& messages) {
    using pile::Book;
    if (dialogs == nullptr) {
        desktopDialogs_ = std::make_unique<pile::platform::DesktopFileDialogs>();
        dialogs = desktopDialogs_.get();
    }
    const auto bookOnShow = [this] {
        return cbt_PageBook->text() == QStringLiteral("2") ? Book::Table : Book::Text;
    };
    bookExport_ = std::make_unique<pile::ui::BookExport>(
        this, *dialogs, messages,
        pile::ui::BookExport::Hooks{
            .bookLines = [this](Book book) -> const pile::BookLines& {
                return book == Book::Text ? books_.TextLines() : books_.TableLines();
            },
            .bookSaved =
                [this, bookOnShow](Book book) {
                    books_.MarkSaved(book);
                    cbt_Save->setEnabled((books_.UnsavedBookFlags() & int(bookOnShow())) != 0);
                },
        });
    for (QPlainTextEdit* memo : {meo_jisuanjieguo_Doc, meo_jisuanjieguo_Xls}) {
        bookExport_->AttachMenu(memo, memo == meo_jisuanjieguo_Doc ? Book::Text : Book::Table,
                                [memo] { return memo->createStandardContextMenu(); });
    }
    bookExport_->AddShortcuts(JieGuo_DocLayer, bookOnShow);
}

// ---------------------------------------------------------------- start and end

void TBXV_FRM_VORN1::FormCreate() {
    books_ = pile::CalculationBooks();
}

void TBXV_FRM_VORN1::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

// Closing goes ahead without a question, whatever the books hold; the event loop ends with the
// last window.
void TBXV_FRM_VORN1::FormClose(QCloseEvent* event) {
    // A shown about dialog must not keep the program alive once the main window is gone.
    if (BXV_CZL_FRM_CopyRight) {
        BXV_CZL_FRM_CopyRight->hide();
    }
    event->accept();
}

void TBXV_FRM_VORN1::cbt_tuichuClick() {
    close();
}

void TBXV_FRM_VORN1::cbt_CopyRightClick() {
    TBXV_CZL_FRM_CopyRight::ShowSingle(BXV_CZL_FRM_CopyRight, *shell_);
}

void TBXV_FRM_VORN1::cbt_SaveClick() {
    saveFlow_->Request(FPermissionWriteExternalStorage);
}

// Before the first show the frame is not known yet: the client area is centred, and the
// whole window once its frame is known.
void TBXV_FRM_VORN1::CentreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TBXV_FRM_VORN1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !centred_) {
        centred_ = true;
        CentreOnScreen();
    }
}

void TBXV_FRM_VORN1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, pile::ui::colours::kDodgerBlue);
    background.setColorAt(1, Qt::white);
    painter.fillRect(rect(), background);
}

// ---------------------------------------------------------------- input panel

void TBXV_FRM_VORN1::cbb_czgyChange() {
    EmptyResults(true, true, true);
    ComputeOn();
}

void TBXV_FRM_VORN1::cbe_ddChange() {
    EmptyResults(true, true, true);
    ComputeOn();
    QuickCheck(cbe_dd->lineEdit(), false, ToQString(pile::messages::kDiameter));
}

void TBXV_FRM_VORN1::cbe_tyzdChange() {
    EmptyResults(true, true, true);
    ComputeOn();
    QuickCheck(cbe_tyzd->lineEdit(), true, ToQString(pile::messages::kStraightLength));
}

void TBXV_FRM_VORN1::cbe_hrChange() {
    EmptyResults(true, true, false);
    ComputeOn();
}

void TBXV_FRM_VORN1::cbb_hntChange() {
    EmptyResults(false, false, true);
    ComputeOn();
}

void TBXV_FRM_VORN1::edt_frkChange() {
    EmptyResults(true, true, false);
    ComputeOn();
    QuickCheck(edt_frk, true, ToQString(pile::messages::kFrk));
}

void TBXV_FRM_VORN1::edt_fukChange() {
    EmptyResults(true, true, false);
    ComputeOn();
    QuickCheck(edt_fuk, true, ToQString(pile::messages::kFuk));
}

// Each radio button looks at its own state only; both see the final state of the pair and
// apply the same configuration, the one that lost the selection first.
void TBXV_FRM_VORN1::rdb_frkChange() {
    ApplyRockMode(rdb_frk->isChecked() ? pile::RockParameterMode::Frk
                                       : pile::RockParameterMode::Fuk);
}

void TBXV_FRM_VORN1::rdb_fukChange() {
    ApplyRockMode(rdb_fuk->isChecked() ? pile::RockParameterMode::Fuk
                                       : pile::RockParameterMode::Frk);
}

void TBXV_FRM_VORN1::ApplyRockMode(pile::RockParameterMode mode) {
    const bool frk = mode == pile::RockParameterMode::Frk;
    jmlxChange_->ReplaceItems(frk ? texts::kFrkSectionItems : texts::kFukSectionItems);
    jmlxChange_->Select(0);
    edt_frk->setEnabled(frk);
    edt_fuk->setEnabled(!frk);
    lb_kesair->setText(frk ? texts::kZetaRName : texts::kBetaName);
    lb_tiaowen->setText(frk ? texts::kFrkFormula : texts::kFukFormula);
    EmptyResults(true, true, false);
    czgyChange_->ReplaceItems(frk ? texts::kFrkProcessItems : texts::kFukProcessItems);
    czgyChange_->Select(frk ? texts::kFrkProcessSelection : texts::kFukProcessSelection);
}

void TBXV_FRM_VORN1::cbb_jmlxChange() {
    const int index = cbb_jmlx->currentIndex();
    const bool fuk = rdb_fuk->isChecked();
    if (index == 0) {
        lb_dd->setText(texts::kDiameterLabel);
        lb_tyzd->setText(texts::kStraightLengthLabel);
        lb_tyzd->setEnabled(false);
        cbe_tyzd->setEnabled(false);
        edt_frk->setEnabled(!fuk);
        edt_fuk->setEnabled(fuk);
        if (fuk) {
            lb_tiaowen->setText(texts::kFukFormula);
            EmptyResults(true, true, true);
            czgyChange_->ReplaceItems(texts::kFukProcessItems);
            czgyChange_->Select(texts::kFukProcessSelection);
        } else {
            lb_kesair->setText(texts::kZetaRName);
            lb_tiaowen->setText(texts::kFrkFormula);
            EmptyResults(true, true, true);
            czgyChange_->ReplaceItems(texts::kFrkProcessItems);
            czgyChange_->Select(texts::kFrkProcessSelection);
        }
        tyzdChange_->ReplaceItems(texts::kStraightLengthItems);
        tyzdChange_->SetText(QStringLiteral("0"));
        hrChange_->ReplaceItems(texts::SocketDepthItems(u'd'));
        hrChange_->Select(0);
    } else if (index == 1 || index == 2) {
        const bool ellipse = index == 1;
        lb_dd->setText(ellipse ? texts::kDiameterLabel : texts::kLongSideLabel);
        lb_tyzd->setText(ellipse ? texts::kStraightLengthLabel : texts::kShortSideLabel);
        lb_tyzd->setEnabled(true);
        cbe_tyzd->setEnabled(true);
        if (fuk) {
            edt_frk->setEnabled(false);
            edt_fuk->setEnabled(true);
            lb_kesair->setText(texts::kBetaName);
            lb_tiaowen->setText(texts::kFukFormula);
            czgyChange_->ReplaceItems(texts::kFukProcessItems);
            czgyChange_->Select(texts::kFukProcessSelection);
        }
        tyzdChange_->ReplaceItems(ellipse ? texts::kStraightLengthItems : texts::kSideItems);
        tyzdChange_->Select(ellipse ? 4 : 0);
        hrChange_->ReplaceItems(texts::SocketDepthItems(ellipse ? u'd' : u'b'));
        hrChange_->Select(0);
    } else {
        return;  // the list is being emptied
    }
    EmptyResults(true, true, true);
    ComputeOn();
}

void TBXV_FRM_VORN1::EmptyResults(bool kesair, bool ra, bool rc) {
    if (kesair) {
        edt_kesair->clear();
    }
    if (ra) {
        edt_ra->clear();
    }
    if (rc) {
        edt_rc->clear();
    }
}

void TBXV_FRM_VORN1::ComputeOn() {
    cbt_compute->setEnabled(true);
    cbt_compute->show();
    cbt_View->hide();
}

// Quick feedback while typing; "计算" checks every input again, and more strictly.
void TBXV_FRM_VORN1::QuickCheck(QLineEdit* box, bool zeroPasses, const QString& message) {
    const std::optional<double> value =
        pile::ParseLocaleNumber(ToU16(box->text()), DecimalSeparator());
    const bool passes = value && (zeroPasses ? *value >= 0 : *value > 0);
    if (passes) {
        lb_shuoming->clear();
        SetBoxColour(box, kBlack);
    } else {
        ShowMessage(message, kRed);
        SetBoxColour(box, kRed);
    }
}

// Once shown, the message label stays in place of the logo until the program ends.
void TBXV_FRM_VORN1::ShowMessage(const QString& text, const QColor& colour) {
    img_Logo->hide();
    lb_shuoming->show();
    QPalette palette = lb_shuoming->palette();
    palette.setColor(QPalette::WindowText, colour);
    lb_shuoming->setPalette(palette);
    lb_shuoming->setText(text);
}

// Only the normal state: a disabled box keeps the style's grey.
void TBXV_FRM_VORN1::SetBoxColour(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Active, QPalette::Text, colour);
    palette.setColor(QPalette::Inactive, QPalette::Text, colour);
    box->setPalette(palette);
}

QLineEdit* TBXV_FRM_VORN1::Box(pile::InputControl control) const {
    switch (control) {
        case pile::InputControl::Diameter:
            return cbe_dd->lineEdit();
        case pile::InputControl::StraightLength:
            return cbe_tyzd->lineEdit();
        case pile::InputControl::SocketDepth:
            return cbe_hr->lineEdit();
        case pile::InputControl::Frk:
            return edt_frk;
        case pile::InputControl::Fuk:
            return edt_fuk;
    }
    return nullptr;
}

pile::RockParameterMode TBXV_FRM_VORN1::RockMode() const {
    return rdb_fuk->isChecked() ? pile::RockParameterMode::Fuk : pile::RockParameterMode::Frk;
}

char16_t TBXV_FRM_VORN1::DecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? u'.' : point.front().unicode();
}

// ---------------------------------------------------------------- compute action

void TBXV_FRM_VORN1::cbt_computeClick() {
    ComputeAction();
}

void TBXV_FRM_VORN1::cbt_JingDuClick() {
    popbox_jingdu->setVisible(popbox_jingdu->isHidden());
}

// A new precision picked in the shown pop-up is a whole new calculation, one record more.
void TBXV_FRM_VORN1::popbox_jingduChange() {
    if (popbox_jingdu->isVisible()) {
        ComputeAction();
    }
}

void TBXV_FRM_VORN1::ComputeAction() {
    const pile::RockParameterMode mode = RockMode();
    const std::optional<pile::SectionType> section =
        pile::SectionTypeFromIndex(cbb_jmlx->currentIndex(), mode);
    const std::optional<pile::ConcreteGrade> grade =
        pile::ConcreteGradeFromIndex(cbb_hnt->currentIndex());
    const std::optional<pile::ConstructionProcess> process =
        pile::ProcessFromIndex(cbb_czgy->currentIndex(), mode);
    if (!section || !grade || !process) {
        return;
    }
    pile::PanelInput panel;
    panel.sectionType = *section;
    panel.rockMode = mode;
    panel.ddText = ToU16(cbe_dd->currentText());
    panel.tyzdText = ToU16(cbe_tyzd->currentText());
    panel.hrText = ToU16(cbe_hr->currentText());
    panel.frkText = ToU16(edt_frk->text());
    panel.fukText = ToU16(edt_fuk->text());
    panel.concreteGrade = *grade;
    panel.process = *process;
    const pile::ComputeOutcome outcome = pile::ComputePile(panel, DecimalSeparator());

    // The rectangle's exchange writes the boxes as the program's own change, so their
    // handlers run now, in the middle of the calculation.
    if (outcome.rewritten) {
        ddChange_->SetText(ToQString(outcome.rewritten->ddText));
        tyzdChange_->SetText(ToQString(outcome.rewritten->tyzdText));
    }
    for (const pile::InputControl control : outcome.passed) {
        lb_shuoming->clear();
        SetBoxColour(Box(control), kBlack);
    }
    if (const auto* failure = std::get_if<pile::ValidationFailure>(&outcome.result)) {
        PresentFailure(*failure);
        return;
    }
    const auto& computed = std::get<pile::ComputedPile>(outcome.result);
    PresentResult(computed);
    AppendToBooks(computed);

    cbt_View->show();
    cbt_compute->hide();
    cbt_Save->setEnabled(true);
    popbox_jingdu->hide();
    cbt_sanchu->setEnabled(true);
}

void TBXV_FRM_VORN1::PresentFailure(const pile::ValidationFailure& failure) {
    ShowMessage(ToQString(failure.message), kRed);
    SetBoxColour(Box(failure.control), kRed);
}

void TBXV_FRM_VORN1::PresentResult(const pile::ComputedPile& computed) {
    const pile::PileResult& result = computed.result;
    const bool frk = computed.input.rockMode == pile::RockParameterMode::Frk;
    if (frk && result.rockHardness) {
        ShowMessage(ToQString(pile::RockHardnessText(*result.rockHardness)), kBlack);
    }
    const char16_t separator = DecimalSeparator();
    lb_kesair->setText(frk ? texts::kZetaRName : texts::kBetaName);
    edt_kesair->setText(
        ToQString(pile::FixedText(frk ? result.zetaR : result.beta, 7, 4, separator)));
    edt_ra->setText(ToQString(pile::PrecisionText(result.Ra, Precision(), 7, separator)));
    edt_rc->setText(ToQString(pile::PrecisionText(result.Rc, Precision(), 7, separator)));
}

void TBXV_FRM_VORN1::AppendToBooks(const pile::ComputedPile& computed) {
    const QString time = pile::ui::CalculationTime(QLocale::system(), clock_());
    // The boxes as they stand now, after a rectangle's exchange.
    const pile::BooksChange change = books_.AppendRecord(
        computed.input, computed.result, ToU16(cbe_dd->currentText()),
        ToU16(cbe_tyzd->currentText()), Precision(), DecimalSeparator(), ToU16(time));
    FollowBooks(change);
}

void TBXV_FRM_VORN1::FollowBooks(const pile::BooksChange& change) {
    pile::ui::FollowBook(*meo_jisuanjieguo_Xls->document(), books_.TableLines(), change.table);
    pile::ui::FollowBook(*meo_jisuanjieguo_Doc->document(), books_.TextLines(), change.text);
}

pile::PrecisionMode TBXV_FRM_VORN1::Precision() const {
    return static_cast<pile::PrecisionMode>(std::clamp(popbox_jingdu->currentIndex(), 0, 4));
}

// ---------------------------------------------------------------- book screen

void TBXV_FRM_VORN1::cbt_ViewClick() {
    MainFormLayer->hide();
    JieGuo_DocLayer->show();
    // Up by two and back: each memo lays its text out afresh at the size it had.
    for (QPlainTextEdit* memo : {meo_jisuanjieguo_Xls, meo_jisuanjieguo_Doc}) {
        const double size = memo->font().pointSizeF();
        pile::ui::SetPointSize(*memo, size + 2);
        pile::ui::SetPointSize(*memo, size);
    }
}

void TBXV_FRM_VORN1::cbt_ExitClick() {
    MainFormLayer->show();
    JieGuo_DocLayer->hide();
}

// The caption records the book on show: "1" the text book, "2" the table book. "保存" is
// enabled exactly when the book coming into view has unsaved records.
void TBXV_FRM_VORN1::cbt_PageBookClick() {
    const int unsaved = books_.UnsavedBookFlags();
    if (cbt_PageBook->text() == QStringLiteral("1")) {
        meo_jisuanjieguo_Doc->hide();
        meo_jisuanjieguo_Xls->show();
        cbt_Save->setEnabled((unsaved & static_cast<int>(pile::Book::Table)) != 0);
        cbt_PageBook->setText(QStringLiteral("2"));
    } else {
        meo_jisuanjieguo_Doc->show();
        meo_jisuanjieguo_Xls->hide();
        cbt_Save->setEnabled((unsaved & static_cast<int>(pile::Book::Text)) != 0);
        cbt_PageBook->setText(QStringLiteral("1"));
    }
}

void TBXV_FRM_VORN1::tcb_meoFontSizeChange() {
    const double size = tcb_meoFontSize->value() / double(kFontSizeSteps);
    pile::ui::SetPointSize(*meo_jisuanjieguo_Xls, size);
    pile::ui::SetPointSize(*meo_jisuanjieguo_Doc, size);
}

void TBXV_FRM_VORN1::cbt_sanchuClick() {
    FollowBooks(books_.DeleteLast());
    pile::ui::CaretToStart(*meo_jisuanjieguo_Xls);
    pile::ui::CaretToStart(*meo_jisuanjieguo_Doc);
    if (books_.PileCounter() == 0) {
        cbt_Save->setEnabled(false);
        cbt_sanchu->setEnabled(false);
    }
}
