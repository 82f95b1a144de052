// The controls of the main window with their values at start: what a form designer would
// store. Building them raises no handler: the change adapters are connected afterwards.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "logo_strip.h"
#include "qt_text.h"
#include "scaled_layer.h"
#include "text_fit.h"
#include "ui_colours.h"
#include "ui_fonts.h"

using pile::session::LayoutOf;
using pile::ui::PartialFont;
using pile::ui::ScaledLayer;
using pile::ui::ToQString;
using pile::ui::ToQStringList;

namespace {

using namespace pile::ui::colours;

template <typename Widget>
Widget* Make(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    ScaledLayer::Place(widget, x, y, w, h);
    return widget;
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, int x, int y, int w, int h,
                  const QString& text) {
    auto* label = Make<QLabel>(parent, name, x, y, w, h);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QPushButton* MakeRoundedButton(QWidget* parent, const char* name, int x, int y, int w, int h,
                               int radius, const QString& text, const QString& hint = {}) {
    auto* button = Make<QPushButton>(parent, name, x, y, w, h);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: 1px solid #7A8A9A; border-radius: %1px;"
                       " padding: 0px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #FFFFFF, stop:1 #D8DEE6); }"
                       "QPushButton:hover { border-color: #1E90FF; }"
                       "QPushButton:pressed { background: #C4CCD6; }"
                       "QPushButton:disabled { color: #A0A0A0; border-color: #B8C0C8; }")
            .arg(radius));
    return button;
}

QComboBox* MakeList(QWidget* parent, const char* name, int x, int y, int w, int h,
                    const QStringList& items, int selected) {
    auto* box = Make<QComboBox>(parent, name, x, y, w, h);
    box->addItems(items);
    box->setCurrentIndex(selected);
    return box;
}

QComboBox* MakeEditableList(QWidget* parent, const char* name, int x, int y, int w, int h,
                            const QStringList& items, int selected, const QString& text) {
    auto* box = Make<QComboBox>(parent, name, x, y, w, h);
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

QLineEdit* MakeInputBox(QWidget* parent, const char* name, int x, int y, int w, int h,
                        const QString& text, bool enabled) {
    auto* box = Make<QLineEdit>(parent, name, x, y, w, h);
    box->setFont(PartialFont(0, true));  // before the text, which is then laid out once
    box->setText(text);
    box->setEnabled(enabled);
    box->setInputMethodHints(Qt::ImhPreferNumbers);
    return box;
}

QLineEdit* MakeResultBox(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* box = Make<QLineEdit>(parent, name, x, y, w, h);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFont(PartialFont(pile::ui::kResultPointSize, true));
    SetTextColour(box, QPalette::Text, kGreen);
    ScaledLayer::KeepOwnFontSize(box);  // the fit below sizes it
    return box;
}

// A read-only view that draws a book straight from the session's line list.
pile::ui::BookView* MakeMemo(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* memo = Make<pile::ui::BookView>(parent, name, x, y, w, h);
    memo->setFont(pile::ui::MemoFont(pile::ui::kMemoStartPointSize));
    ScaledLayer::KeepOwnFontSize(memo);  // the track bar sets its size
    return memo;
}

}  // namespace

void TBXV_FRM_VORN1::CreateControls() {
    MainFormLayer = new ScaledLayer(this, QStringLiteral("MainFormLayer"));
    QWidget* main = MainFormLayer;

    lb_cxm = MakeLabel(main, "lb_cxm", 84, 12, 209, 33, QStringLiteral("嵌岩桩承载力计算"));
    lb_cxm->setFont(PartialFont(24, true));
    // At 24 points (32 pixels a character on a 96-dpi screen) the title is wider than its
    // 209-unit box; it grows about the box's centre rather than being cut.
    if (const int needed = lb_cxm->sizeHint().width(); needed > 209) {
        ScaledLayer::Place(lb_cxm, 84 + (209 - needed) / 2, 12, needed, 33);
    }
    SetTextColour(lb_cxm, QPalette::WindowText, kBlueViolet);
    cbt_CopyRight = MakeRoundedButton(main, "cbt_CopyRight", 330, 6, 21, 21, 3, QStringLiteral("©"),
                                      QStringLiteral("版权信息"));

    gpb_srcs = Make<QGroupBox>(main, "gpb_srcs", 4, 56, 355, 233);
    gpb_srcs->setTitle(QStringLiteral("基桩参数"));
    lb_jmlx = MakeLabel(gpb_srcs, "lb_jmlx", 8, 28, 240, 32, QStringLiteral("桩身截面类型"));
    // The frk mode and the circle, except that cbe_tyzd offers the list of cbe_dd until the
    // first change of the rock mode or the section type.
    const pile::session::RockModeLayout& frk = LayoutOf(pile::RockParameterMode::Frk);
    const pile::session::SectionLayout& circle = LayoutOf(pile::SectionType::Circle);
    const QStringList dimensions = ToQStringList(pile::session::DimensionItems());
    cbb_jmlx = MakeList(gpb_srcs, "cbb_jmlx", 258, 28, 89, 32, ToQStringList(frk.sectionItems), 0);
    lb_dd = MakeLabel(gpb_srcs, "lb_dd", 8, 61, 240, 32, ToQString(circle.ddLabel));
    cbe_dd = MakeEditableList(gpb_srcs, "cbe_dd", 258, 61, 89, 32, dimensions, 0,
                              QStringLiteral("1000"));
    lb_tyzd = MakeLabel(gpb_srcs, "lb_tyzd", 8, 94, 240, 32, ToQString(circle.tyzdLabel));
    lb_tyzd->setEnabled(circle.tyzdEnabled);
    cbe_tyzd = MakeEditableList(gpb_srcs, "cbe_tyzd", 258, 94, 89, 32, dimensions, -1,
                                ToQString(circle.tyzdText));
    cbe_tyzd->setEnabled(circle.tyzdEnabled);
    lb_hr =
        MakeLabel(gpb_srcs, "lb_hr", 8, 127, 240, 32, QStringLiteral("桩身嵌岩深度    hr (mm)"));
    cbe_hr = MakeEditableList(gpb_srcs, "cbe_hr", 258, 127, 89, 32, ToQStringList(circle.hrItems),
                              0, QStringLiteral("1.0d"));
    lb_hnt = MakeLabel(gpb_srcs, "lb_hnt", 8, 160, 240, 32, QStringLiteral("桩身混凝土强度等级"));
    cbb_hnt = MakeList(gpb_srcs, "cbb_hnt", 258, 160, 89, 32,
                       ToQStringList(pile::session::ConcreteGradeItems()),
                       static_cast<int>(pile::ConcreteGrade::C30));
    lb_czgy = MakeLabel(gpb_srcs, "lb_czgy", 8, 193, 130, 32, QStringLiteral("基桩成桩工艺"));
    cbb_czgy = MakeList(gpb_srcs, "cbb_czgy", 138, 193, 209, 32, ToQStringList(frk.processItems),
                        frk.processSelection);

    gpb_ysqdqz = Make<QGroupBox>(main, "gpb_ysqdqz", 4, 300, 355, 105);
    gpb_ysqdqz->setTitle(QStringLiteral("基岩参数"));
    rdb_fuk = Make<QRadioButton>(gpb_ysqdqz, "rdb_fuk", 4, 32, 250, 25);
    rdb_fuk->setText(QStringLiteral("桩端地基极限承载力 fuk (MPa)"));
    edt_fuk = MakeInputBox(gpb_ysqdqz, "edt_fuk", 258, 28, 89, 32, QStringLiteral("24"), false);
    rdb_frk = Make<QRadioButton>(gpb_ysqdqz, "rdb_frk", 4, 65, 250, 25);
    rdb_frk->setText(QStringLiteral("岩石单轴抗压强度     frk (MPa)"));
    rdb_frk->setChecked(true);
    edt_frk = MakeInputBox(gpb_ysqdqz, "edt_frk", 258, 61, 89, 32, QStringLiteral("25"), true);

    gpb_scjg = Make<QGroupBox>(main, "gpb_scjg", 4, 418, 355, 185);
    gpb_scjg->setTitle(QStringLiteral("计算结果"));
    cbt_JingDu = MakeRoundedButton(gpb_scjg, "cbt_JingDu", 324, 10, 21, 21, 3, QStringLiteral("≈"),
                                   QStringLiteral("调整精度"));
    lb_kesair = MakeLabel(gpb_scjg, "lb_kesair", 8, 33, 242, 32, ToQString(frk.coefficientName));
    edt_kesair = MakeResultBox(gpb_scjg, "edt_kesair", 258, 32, 89, 32);
    lb_ra =
        MakeLabel(gpb_scjg, "lb_ra", 8, 66, 242, 32, QStringLiteral("单桩竖向承载力特征值 Ra(kN)"));
    edt_ra = MakeResultBox(gpb_scjg, "edt_ra", 258, 65, 89, 32);
    lb_rc =
        MakeLabel(gpb_scjg, "lb_rc", 8, 99, 242, 32, QStringLiteral("桩身正截面受压承载力 Rc(kN)"));
    edt_rc = MakeResultBox(gpb_scjg, "edt_rc", 258, 98, 89, 32);
    for (QLineEdit* box : {edt_kesair, edt_ra, edt_rc}) {
        resultFits_.append(new pile::ui::TextFit(box, pile::ui::kResultPointSize));
    }
    lb_guifan = MakeLabel(gpb_scjg, "lb_guifan", -2, 132, 351, 25,
                          QStringLiteral("《建筑地基基础设计规范》(DBJ50-047-2016)"));
    lb_guifan->setAlignment(Qt::AlignCenter);
    lb_tiaowen = MakeLabel(gpb_scjg, "lb_tiaowen", 0, 156, 356, 25,
                           ToQString(pile::session::StartFormula()));
    lb_tiaowen->setAlignment(Qt::AlignCenter);
    // Last in the group box, so that the open pop-up stands above the title and the rows.
    popbox_jingdu = MakeList(gpb_scjg, "popbox_jingdu", 234, 0, 90, 32,
                             ToQStringList(pile::session::PrecisionItems()),
                             static_cast<int>(pile::PrecisionMode::Units));
    popbox_jingdu->hide();

    cbt_compute =
        MakeRoundedButton(main, "cbt_compute", 56, 614, 89, 33, 10, QStringLiteral("计算"));
    cbt_View = MakeRoundedButton(main, "cbt_View", 56, 614, 89, 33, 10, QStringLiteral("结果"));
    cbt_View->hide();
    cbt_tuichu =
        MakeRoundedButton(main, "cbt_tuichu", 208, 614, 89, 33, 10, QStringLiteral("退出"));

    img_Logo = new pile::ui::LogoStrip(main);
    img_Logo->setObjectName(QStringLiteral("img_Logo"));
    ScaledLayer::Place(img_Logo, 0, 656, 361, 32);
    lb_shuoming = MakeLabel(main, "lb_shuoming", 20, 656, 300, 32, QString());
    SetTextColour(lb_shuoming, QPalette::WindowText, kRed);
    lb_shuoming->hide();
}

// Built hidden, after the input screen: it stands above it and follows it in the focus chain.
void TBXV_FRM_VORN1::CreateBookScreen() {
    JieGuo_DocLayer = new ScaledLayer(this, QStringLiteral("JieGuo_DocLayer"));
    JieGuo_DocLayer->hide();
    JieGuo_DocLayer->setGeometry(rect());
    QWidget* book = JieGuo_DocLayer;

    lb_jisuanjieguo =
        MakeLabel(book, "lb_jisuanjieguo", 84, 12, 192, 33, QStringLiteral("计算结果"));
    lb_jisuanjieguo->setFont(PartialFont(24, true));
    lb_jisuanjieguo->setAlignment(Qt::AlignCenter);
    SetTextColour(lb_jisuanjieguo, QPalette::WindowText, kBlue);
    cbt_PageBook = MakeRoundedButton(book, "cbt_PageBook", 330, 6, 21, 21, 3, QStringLiteral("1"),
                                     QStringLiteral("切换计算书"));
    meo_jisuanjieguo_Doc = MakeMemo(book, "meo_jisuanjieguo_Doc", 4, 56, 355, 547);
    meo_jisuanjieguo_Xls = MakeMemo(book, "meo_jisuanjieguo_Xls", 4, 56, 355, 547);
    meo_jisuanjieguo_Xls->hide();
    cbt_sanchu = MakeRoundedButton(book, "cbt_sanchu", 344, 604, 16, 16, 3, QStringLiteral("x"),
                                   QStringLiteral("删除最末数据"));
    cbt_sanchu->setEnabled(false);
    cbt_Exit = MakeRoundedButton(book, "cbt_Exit", 56, 614, 89, 33, 10, QStringLiteral("返回"));
    cbt_Save = MakeRoundedButton(book, "cbt_Save", 208, 614, 89, 33, 10, QStringLiteral("保存"));
    tcb_meoFontSize = Make<QSlider>(book, "tcb_meoFontSize", 56, 654, 241, 32);
    tcb_meoFontSize->setOrientation(Qt::Horizontal);
    tcb_meoFontSize->setRange(4 * kFontSizeSteps, 24 * kFontSizeSteps);
    tcb_meoFontSize->setValue(static_cast<int>(pile::ui::kMemoStartPointSize) * kFontSizeSteps);
    tcb_meoFontSize->setSingleStep(kFontSizeSteps);
    tcb_meoFontSize->setPageStep(2 * kFontSizeSteps);
    tcb_meoFontSize->setToolTip(QStringLiteral("调整字体大小"));
}
