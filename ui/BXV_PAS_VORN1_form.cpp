// The controls of the main window with their values at start: what a form designer would
// store. Their places come from the form's table (form_layout.cpp), the start values of the
// inputs from the engine and the session. Building them raises no handler: the change adapters
// are connected afterwards.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "form_layout.h"
#include "io/qt_text.h"
#include "logo_strip.h"
#include "scaled_layer.h"
#include "text_fit.h"
#include "ui_colours.h"
#include "ui_fonts.h"

using pile::io::ToQString;
using pile::io::ToQStringList;
using pile::session::LayoutOf;
using pile::ui::PartialFont;
using pile::ui::ScaledLayer;

namespace {

using namespace pile::ui::colours;

template <typename Widget>
Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    const QRect place = pile::ui::DesignRect(name);
    ScaledLayer::Place(widget, place.x(), place.y(), place.width(), place.height());
    return widget;
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = Make<QLabel>(parent, name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QPushButton* MakeRoundedButton(QWidget* parent, const char* name, int radius, const QString& text,
                               const QString& hint = {}) {
    auto* button = Make<QPushButton>(parent, name);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: 1px solid #7A8A9A; border-radius: %1px;"
                       " padding: 0px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #FFFFFF, stop:1 #D8DEE6); }"
                       "QPushButton:hover { border-color: #1E90FF; }"
                       // The keyboard's place must show plainly on the rounded buttons too.
                       "QPushButton:focus { border: 2px solid #0A3CA0; }"
                       "QPushButton:pressed { background: #C4CCD6; }"
                       "QPushButton:disabled { color: #A0A0A0; border-color: #B8C0C8; }")
            .arg(radius));
    return button;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, int selected) {
    auto* box = Make<QComboBox>(parent, name);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
}

QComboBox* MakeEditableList(QWidget* parent, const char* name, const QStringList& items,
                            int selected, const QString& text) {
    auto* box = Make<QComboBox>(parent, name);
    // Font and items first: the line edit then starts in its font, and no completer has yet to
    // follow the items (each change of either lays the line out again).
    box->setFont(PartialFont(0, true));
    box->addItems(items);
    box->setCurrentIndex(selected);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setEditText(text);
    box->setInputMethodHints(Qt::ImhPreferNumbers);
    return box;
}

QLineEdit* MakeInputBox(QWidget* parent, const char* name, const QString& text, bool enabled) {
    auto* box = Make<QLineEdit>(parent, name);
    box->setFont(PartialFont(0, true));  // before the text, which is then laid out once
    box->setText(text);
    box->setEnabled(enabled);
    box->setInputMethodHints(Qt::ImhPreferNumbers);
    return box;
}

QLineEdit* MakeResultBox(QWidget* parent, const char* name) {
    auto* box = Make<QLineEdit>(parent, name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFont(PartialFont(pile::ui::kResultPointSize, true));
    SetTextColour(box, QPalette::Text, kGreen);
    ScaledLayer::KeepOwnFontSize(box);  // the fit below sizes it
    return box;
}

// A read-only view that draws a book straight from the session's line list.
pile::ui::BookView* MakeMemo(QWidget* parent, const char* name) {
    auto* memo = Make<pile::ui::BookView>(parent, name);
    memo->setFont(pile::ui::MemoFont(pile::ui::kMemoStartPointSize));
    ScaledLayer::KeepOwnFontSize(memo);  // the track bar sets its size
    return memo;
}

}  // namespace

void TBXV_FRM_VORN1::CreateControls() {
    MainFormLayer = new ScaledLayer(this, QStringLiteral("MainFormLayer"));
    QWidget* main = MainFormLayer;

    lb_cxm = MakeLabel(main, "lb_cxm", QStringLiteral("嵌岩桩承载力计算"));
    lb_cxm->setFont(PartialFont(24, true));
    // At 24 points (32 pixels a character on a 96-dpi screen) the title is wider than its
    // 209-unit box; it grows about the box's centre rather than being cut.
    if (const QRect box = pile::ui::DesignRect("lb_cxm");
        lb_cxm->sizeHint().width() > box.width()) {
        const int needed = lb_cxm->sizeHint().width();
        ScaledLayer::Place(lb_cxm, box.x() + (box.width() - needed) / 2, box.y(), needed,
                           box.height());
    }
    SetTextColour(lb_cxm, QPalette::WindowText, kBlueViolet);
    cbt_CopyRight = MakeRoundedButton(main, "cbt_CopyRight", 3, QStringLiteral("©"),
                                      QStringLiteral("版权信息"));

    gpb_srcs = Make<QGroupBox>(main, "gpb_srcs");
    gpb_srcs->setTitle(QStringLiteral("基桩参数"));
    lb_jmlx = MakeLabel(gpb_srcs, "lb_jmlx", QStringLiteral("桩身截面类型"));
    // The frk mode and the circle, except that cbe_tyzd offers the list of cbe_dd until the
    // first change of the rock mode or the section type.
    const pile::PanelInput& start = pile::StartPanel();
    const pile::session::RockModeLayout& frk = LayoutOf(pile::RockParameterMode::Frk);
    const pile::session::SectionLayout& circle = LayoutOf(pile::SectionType::Circle);
    const QStringList dimensions = ToQStringList(pile::session::DimensionItems());
    cbb_jmlx = MakeList(gpb_srcs, "cbb_jmlx", ToQStringList(frk.sectionItems), 0);
    lb_dd = MakeLabel(gpb_srcs, "lb_dd", ToQString(circle.ddLabel));
    cbe_dd = MakeEditableList(gpb_srcs, "cbe_dd", dimensions, 0, ToQString(start.ddText));
    lb_tyzd = MakeLabel(gpb_srcs, "lb_tyzd", ToQString(circle.tyzdLabel));
    lb_tyzd->setEnabled(circle.tyzdEnabled);
    cbe_tyzd = MakeEditableList(gpb_srcs, "cbe_tyzd", dimensions, -1, ToQString(circle.tyzdText));
    cbe_tyzd->setEnabled(circle.tyzdEnabled);
    lb_hr = MakeLabel(gpb_srcs, "lb_hr", QStringLiteral("桩身嵌岩深度    hr (mm)"));
    cbe_hr = MakeEditableList(gpb_srcs, "cbe_hr", ToQStringList(circle.hrItems), 0,
                              ToQString(start.hrText));
    lb_hnt = MakeLabel(gpb_srcs, "lb_hnt", QStringLiteral("桩身混凝土强度等级"));
    cbb_hnt = MakeList(gpb_srcs, "cbb_hnt", ToQStringList(pile::session::ConcreteGradeItems()),
                       static_cast<int>(start.concreteGrade));
    lb_czgy = MakeLabel(gpb_srcs, "lb_czgy", QStringLiteral("基桩成桩工艺"));
    cbb_czgy =
        MakeList(gpb_srcs, "cbb_czgy", ToQStringList(frk.processItems), frk.processSelection);

    gpb_ysqdqz = Make<QGroupBox>(main, "gpb_ysqdqz");
    gpb_ysqdqz->setTitle(QStringLiteral("基岩参数"));
    rdb_fuk = Make<QRadioButton>(gpb_ysqdqz, "rdb_fuk");
    rdb_fuk->setText(QStringLiteral("桩端地基极限承载力 fuk (MPa)"));
    edt_fuk = MakeInputBox(gpb_ysqdqz, "edt_fuk", ToQString(start.fukText), false);
    rdb_frk = Make<QRadioButton>(gpb_ysqdqz, "rdb_frk");
    rdb_frk->setText(QStringLiteral("岩石单轴抗压强度     frk (MPa)"));
    rdb_frk->setChecked(true);
    edt_frk = MakeInputBox(gpb_ysqdqz, "edt_frk", ToQString(start.frkText), true);

    gpb_scjg = Make<QGroupBox>(main, "gpb_scjg");
    gpb_scjg->setTitle(QStringLiteral("计算结果"));
    cbt_JingDu = MakeRoundedButton(gpb_scjg, "cbt_JingDu", 3, QStringLiteral("≈"),
                                   QStringLiteral("调整精度"));
    lb_kesair = MakeLabel(gpb_scjg, "lb_kesair", ToQString(frk.coefficientName));
    edt_kesair = MakeResultBox(gpb_scjg, "edt_kesair");
    lb_ra = MakeLabel(gpb_scjg, "lb_ra", QStringLiteral("单桩竖向承载力特征值 Ra(kN)"));
    edt_ra = MakeResultBox(gpb_scjg, "edt_ra");
    lb_rc = MakeLabel(gpb_scjg, "lb_rc", QStringLiteral("桩身正截面受压承载力 Rc(kN)"));
    edt_rc = MakeResultBox(gpb_scjg, "edt_rc");
    for (QLineEdit* box : {edt_kesair, edt_ra, edt_rc}) {
        resultFits_.append(new pile::ui::TextFit(box, pile::ui::kResultPointSize));
    }
    lb_guifan = MakeLabel(gpb_scjg, "lb_guifan",
                          QStringLiteral("《建筑地基基础设计规范》(DBJ50-047-2016)"));
    lb_guifan->setAlignment(Qt::AlignCenter);
    lb_tiaowen = MakeLabel(gpb_scjg, "lb_tiaowen", ToQString(pile::session::StartFormula()));
    lb_tiaowen->setAlignment(Qt::AlignCenter);
    // Last in the group box, so that the open pop-up stands above the title and the rows.
    popbox_jingdu =
        MakeList(gpb_scjg, "popbox_jingdu", ToQStringList(pile::session::PrecisionItems()),
                 static_cast<int>(pile::kStartPrecision));
    popbox_jingdu->hide();

    cbt_compute = MakeRoundedButton(main, "cbt_compute", 10, QStringLiteral("计算"));
    cbt_View = MakeRoundedButton(main, "cbt_View", 10, QStringLiteral("结果"));
    cbt_View->hide();
    cbt_tuichu = MakeRoundedButton(main, "cbt_tuichu", 10, QStringLiteral("退出"));

    img_Logo = Make<pile::ui::LogoStrip>(main, "img_Logo");
    lb_shuoming = MakeLabel(main, "lb_shuoming", QString());
    SetTextColour(lb_shuoming, QPalette::WindowText, kRed);
    lb_shuoming->hide();
}

// Built hidden, after the input screen: it stands above it and follows it in the focus chain.
void TBXV_FRM_VORN1::CreateBookScreen() {
    JieGuo_DocLayer = new ScaledLayer(this, QStringLiteral("JieGuo_DocLayer"));
    JieGuo_DocLayer->hide();
    JieGuo_DocLayer->setGeometry(rect());
    QWidget* book = JieGuo_DocLayer;

    lb_jisuanjieguo = MakeLabel(book, "lb_jisuanjieguo", QStringLiteral("计算结果"));
    lb_jisuanjieguo->setFont(PartialFont(24, true));
    lb_jisuanjieguo->setAlignment(Qt::AlignCenter);
    SetTextColour(lb_jisuanjieguo, QPalette::WindowText, kBlue);
    cbt_PageBook = MakeRoundedButton(book, "cbt_PageBook", 3, QStringLiteral("1"),
                                     QStringLiteral("切换计算书"));
    meo_jisuanjieguo_Doc = MakeMemo(book, "meo_jisuanjieguo_Doc");
    meo_jisuanjieguo_Xls = MakeMemo(book, "meo_jisuanjieguo_Xls");
    meo_jisuanjieguo_Xls->hide();
    cbt_sanchu = MakeRoundedButton(book, "cbt_sanchu", 3, QStringLiteral("x"),
                                   QStringLiteral("删除最末数据"));
    cbt_sanchu->setEnabled(false);
    cbt_Exit = MakeRoundedButton(book, "cbt_Exit", 10, QStringLiteral("返回"));
    cbt_Save = MakeRoundedButton(book, "cbt_Save", 10, QStringLiteral("保存"));
    tcb_meoFontSize = Make<QSlider>(book, "tcb_meoFontSize");
    tcb_meoFontSize->setOrientation(Qt::Horizontal);
    tcb_meoFontSize->setRange(4 * kFontSizeSteps, 24 * kFontSizeSteps);
    tcb_meoFontSize->setValue(static_cast<int>(pile::ui::kMemoStartPointSize) * kFontSizeSteps);
    tcb_meoFontSize->setSingleStep(kFontSizeSteps);
    tcb_meoFontSize->setPageStep(2 * kFontSizeSteps);
    tcb_meoFontSize->setToolTip(QStringLiteral("调整字体大小"));
}
