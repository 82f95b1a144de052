// The about dialog behind "©": the program's name, the code it follows, its rights and version,
// and three live links: the book font's licence, the installed manual, and a report of a problem
// for the mail program; "更新" opens the manual at its section on installing a newer version.
// The program has no web site or mail address of its own, so the dialog names none. A pop-up in
// look only: it grabs neither mouse nor keyboard, so the main window stays usable while it is
// shown. A click anywhere else in the program does its own job and hides the dialog, and so do Esc
// and the program losing the focus; nothing destroys it before the program ends, and it is never
// modal.
#pragma once

#include <QWidget>
#include <memory>

#include "report/program_identity.h"
#include "ui/platform/message_presenter.h"
#include "ui/platform/system_shell.h"

class QLabel;
class QPushButton;

// The lines the dialog shows. The rights are those of the package's copyright file; the font's
// licence is the one installed beside the font.
namespace copyright {
inline constexpr const auto& kTitle = pile::report::kProgramName;
inline constexpr char16_t kSubtitle[] = u"依据DBJ50-047-2016";
inline constexpr char16_t kInformation1[] = u"重庆市《建筑地基基础设计规范》";
inline constexpr char16_t kInformation2[] = u"版权所有 ©";
inline constexpr const auto& kInformation3 = pile::report::kProgramMaker;
inline constexpr char16_t kInformation4[] = u"保留所有权利";
inline constexpr char16_t kFontLicence[] = u"(计算书字体：SIL OFL 1.1 许可)";
inline constexpr char16_t kFontLicenceHover[] = u"许可证全文：见使用说明";
inline constexpr char16_t kManual[] = u"本机使用说明 (F1)";
inline constexpr char16_t kReport[] = u"写一封问题报告…";
inline constexpr char16_t kReportSubject[] = u"嵌岩桩承载力计算 问题报告";
inline constexpr char kLicenceSection[] = "licence";
inline constexpr int kDesignWidth = 260;
inline constexpr int kDesignHeight = 330;
}  // namespace copyright

class TBXV_CZL_FRM_CopyRight : public QWidget {
    Q_OBJECT

  public:
    // No owner: the dialog is a window of its own. `shell` must outlive it.
    explicit TBXV_CZL_FRM_CopyRight(pile::platform::SystemShell& shell);
    ~TBXV_CZL_FRM_CopyRight() override;

    // Creates the dialog into `dialog` on first use, then shows it centred on the screen, not
    // modal. A press on `opener` (the button that shows it) is left to that button's own click.
    // `lastInputs`: the last calculation's inputs as a schedule, for the report; `messages`
    // (may be null) says so when the manual is missing.
    static TBXV_CZL_FRM_CopyRight* ShowSingle(std::unique_ptr<TBXV_CZL_FRM_CopyRight>& dialog,
                                              pile::platform::SystemShell& shell,
                                              QWidget* opener = nullptr,
                                              const QString& lastInputs = QString(),
                                              pile::platform::MessagePresenter* messages = nullptr);

    void ShowCentred();

    // "版本 1.0.0 · Qt 6.4.2": the project's version and the Qt version the program runs with.
    static QString VersionText();

    // The report "写一封问题报告…" opens in the mail program, with no recipient: the user sends
    // it to whoever supports them. Its body names the version, the Qt, the system and
    // `lastInputs` (empty: no calculation yet).
    static QUrl ReportUrl(const QString& lastInputs);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // While shown: watches the whole program for the click, the key and the loss of focus
    // that dismiss the dialog.
    class Dismissal;

    void lb_danweiMouseMove();
    void lb_wangzhiMouseMove();
    void lb_lianxiUrMouseMove();
    void lb_danweiMouseLeave();
    void lb_wangzhiMouseLeave();
    void lb_lianxiUrMouseLeave();
    void lb_danweiClick();
    void lb_wangzhiClick();
    void lb_lianxiUrClick();
    void cbt_updateClick();
    void OpenManualAt(const QString& section);

    pile::platform::SystemShell& shell_;
    pile::platform::MessagePresenter* messages_ = nullptr;
    QString lastInputs_;
    QWidget* opener_ = nullptr;
    std::unique_ptr<Dismissal> dismissal_;
    QWidget* CopyRightLayer = nullptr;
    QLabel* lb_danwei = nullptr;
    QLabel* lb_wangzhi = nullptr;
    QLabel* lb_lianxiUr = nullptr;
    QPushButton* cbt_update = nullptr;
};
