// The main window by keyboard and by screen reader: the Tab order as the panel reads, Return on
// a focused button, the shortcuts of the two screens, and the names a screen reader speaks.
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>

#include "BXV_PAS_VORN1.h"
#include "book_view.h"
#include "focus_ring.h"
#include "scaled_layer.h"
#include "ui/platform/manual.h"

namespace pile::ui {

// Return and Enter press a focused push button, as Space does. A widget window has no default
// button, so Qt itself gives Return to no one; with a modifier the key is left to the shortcuts.
class ReturnPressesButton : public QObject {
  public:
    using QObject::QObject;

    void Watch(QPushButton* button) { button->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        auto* button = static_cast<QPushButton*>(watched);
        if (button->isEnabled() && button->isVisible()) {
            button->click();
        }
        return true;
    }
};

// The text of a label as a screen reader should say it: the runs of blanks that space the
// label out on the screen go, between two Chinese characters entirely, elsewhere down to one.
QString SpokenText(const QString& label) {
    const QString simple = label.simplified();
    QString spoken;
    for (qsizetype i = 0; i < simple.size(); ++i) {
        const QChar c = simple.at(i);
        if (c == u' ' && i > 0 && i + 1 < simple.size() && simple.at(i - 1).unicode() >= 0x2E80 &&
            simple.at(i + 1).unicode() >= 0x2E80) {
            continue;
        }
        spoken.append(c);
    }
    return spoken;
}

}  // namespace pile::ui

namespace {

// A button pressed from the keyboard as the mouse presses it: it takes the focus first, so
// that a text typed but not yet committed is committed, with its check, before the click.
void PressAsTheMouse(QPushButton* button) {
    if (button->isVisible() && button->isEnabled()) {
        button->setFocus(Qt::ShortcutFocusReason);
        button->click();
    }
}

// The box a person types into when `focus` has the keyboard: an edit box, or the edit part of
// an editable drop-down list, which holds the focus for it.
QLineEdit* TypedBox(QWidget* focus) {
    if (auto* list = qobject_cast<QComboBox*>(focus); list != nullptr && list->isEditable()) {
        return list->lineEdit();
    }
    return qobject_cast<QLineEdit*>(focus);
}

QShortcut* ScreenShortcut(QWidget* screen, const QKeySequence& keys) {
    auto* shortcut = new QShortcut(keys, screen);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    return shortcut;
}

// Of the two rock radio buttons only the selected one is a Tab stop; the arrow keys move
// between them, and a click still focuses either.
void OneTabStopForThePair(QRadioButton* first, QRadioButton* second) {
    for (QRadioButton* radio : {first, second}) {
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        QObject::connect(radio, &QRadioButton::toggled, radio, [radio](bool checked) {
            radio->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
    }
}

}  // namespace

void TBXV_FRM_VORN1::ConnectKeyboard() {
    // Read-only results and the two small corner buttons are clicked, not tabbed to; the
    // result boxes still take a click, so that their text can be selected and copied.
    for (QWidget* aside :
         std::initializer_list<QWidget*>{edt_kesair, edt_ra, edt_rc, cbt_CopyRight, cbt_JingDu}) {
        aside->setFocusPolicy(Qt::ClickFocus);
    }
    OneTabStopForThePair(rdb_fuk, rdb_frk);
    // Top to bottom, left to right; Qt passes over the disabled and hidden ones.
    const QWidget* const order[] = {cbb_jmlx,      cbe_dd,      cbe_tyzd, cbe_hr,    cbb_hnt,
                                    cbb_czgy,      rdb_fuk,     rdb_frk,  edt_fuk,   edt_frk,
                                    popbox_jingdu, cbt_compute, cbt_View, cbt_tuichu};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
    }

    returnPresses_ = new pile::ui::ReturnPressesButton(this);
    for (QPushButton* button : {cbt_CopyRight, cbt_JingDu, cbt_compute, cbt_View, cbt_tuichu}) {
        returnPresses_->Watch(button);
    }
    // Ctrl+Return: the box's text committed as Enter commits it (a new value brings "计算"
    // back), then "计算", or "结果" where nothing has changed since the last calculation.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        connect(ScreenShortcut(MainFormLayer, keys), &QShortcut::activated, this, [this] {
            if (QLineEdit* box = TypedBox(QApplication::focusWidget())) {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QCoreApplication::sendEvent(box, &enter);
            }
            PressAsTheMouse(panel_.View().resultShown ? cbt_View : cbt_compute);
        });
    }
    ConnectProjectWindow(*this);
    // F1 on either screen: the manual in the system's browser.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { pile::platform::OpenManual(*shell_, *messages_); });
    new pile::ui::FocusRing(this);
    NameControls();
}

void TBXV_FRM_VORN1::ConnectBookScreenKeyboard() {
    for (QPushButton* button : {cbt_PageBook, cbt_sanchu, cbt_Exit, cbt_Save}) {
        returnPresses_->Watch(button);
    }
    connect(ScreenShortcut(JieGuo_DocLayer, QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QShortcut::activated, this, [this] { PressAsTheMouse(cbt_Save); });
    connect(ScreenShortcut(JieGuo_DocLayer, QKeySequence(Qt::Key_Escape)), &QShortcut::activated,
            this, [this] { EscapeOnBookScreen(); });
    ConnectBookWindow();
    NameControls();
}

// The focus left behind on the hidden screen would take the keys away from the screen shown.
void TBXV_FRM_VORN1::KeyboardToScreen() {
    if (JieGuo_DocLayer->isVisible()) {
        (session_.BookOnShow() == pile::Book::Text ? meo_jisuanjieguo_Doc : meo_jisuanjieguo_Xls)
            ->setFocus(Qt::OtherFocusReason);
    } else {
        cbe_dd->setFocus(Qt::OtherFocusReason);
        cbe_dd->lineEdit()->selectAll();
    }
}

// Each control is named after the label beside it; the names that follow the panel's layout
// (the section's sides, the rock mode's coefficient) are named again when it changes.
void TBXV_FRM_VORN1::NameControls() {
    using pile::ui::SpokenText;
    const auto name = [](QWidget* control, const QString& text) {
        control->setAccessibleName(SpokenText(text));
    };
    name(cbb_jmlx, lb_jmlx->text());
    name(cbe_dd, lb_dd->text());
    name(cbe_tyzd, lb_tyzd->text());
    name(cbe_hr, lb_hr->text());
    name(cbb_hnt, lb_hnt->text());
    name(cbb_czgy, lb_czgy->text());
    name(rdb_fuk, rdb_fuk->text());
    name(edt_fuk, rdb_fuk->text());
    name(rdb_frk, rdb_frk->text());
    name(edt_frk, rdb_frk->text());
    name(edt_kesair, lb_kesair->text());
    name(edt_ra, lb_ra->text());
    name(edt_rc, lb_rc->text());
    edt_kesair->setAccessibleDescription(QStringLiteral("计算结果，无量纲"));
    edt_ra->setAccessibleDescription(QStringLiteral("计算结果，单位 kN"));
    edt_rc->setAccessibleDescription(QStringLiteral("计算结果，单位 kN"));
    for (QPushButton* button : {cbt_compute, cbt_View, cbt_tuichu}) {
        name(button, button->text());
    }
    name(cbt_CopyRight, cbt_CopyRight->toolTip());
    name(cbt_JingDu, cbt_JingDu->toolTip());
    name(popbox_jingdu, QStringLiteral("计算精度"));
    if (JieGuo_DocLayer == nullptr) {
        return;
    }
    for (QPushButton* button : {cbt_Exit, cbt_Save}) {
        name(button, button->text());
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{cbt_PageBook, cbt_sanchu, tcb_meoFontSize}) {
        name(control, control->toolTip());
    }
    name(meo_jisuanjieguo_Doc, QStringLiteral("文本计算书"));
    name(meo_jisuanjieguo_Xls, QStringLiteral("表格计算书"));
}
