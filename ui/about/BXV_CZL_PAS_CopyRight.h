// The about dialog behind "©": program title, the maker's organisation, web and mail address as
// three live links, and "更新". A pop-up in look only: it grabs neither mouse nor keyboard, so
// the main window stays usable while it is shown. A click anywhere else in the program does its
// own job and hides the dialog, and so do Esc and the program losing the focus; nothing
// destroys it before the program ends, and it is never modal.
#pragma once

#include <QWidget>
#include <memory>

#include "ui/platform/system_shell.h"

class QLabel;
class QPushButton;

// The values the dialog shows, invented for this program: reserved example domains, no real
// organisation or person.
namespace copyright {
inline constexpr char16_t kTitle[] = u"嵌岩桩承载力计算";
inline constexpr char16_t kSubtitle[] = u"依据DBJ50-047-2016";
inline constexpr char16_t kInformation1[] = u"本软件仅供工程设计人员参考使用";
inline constexpr char16_t kInformation2[] = u"版权所有 ©";
inline constexpr char16_t kInformation3[] = u"示例工作组 编制";
inline constexpr char16_t kInformation4[] = u"保留所有权利";
inline constexpr char16_t kOrganisation[] = u"(示例结构软件工作室)";
inline constexpr char16_t kOrganisationWeb[] = u"www.example.org";
inline constexpr char16_t kOrganisationUrl[] = u"https://www.example.org/";
inline constexpr char16_t kWeb[] = u"www.example.com";
inline constexpr char16_t kWebUrl[] = u"https://www.example.com/";
inline constexpr char16_t kMail[] = u"pile@example.com";
inline constexpr char16_t kUpdateUrl[] = u"https://www.example.com/downloads/BXV_PRJ_VORN1.zip";
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
    static TBXV_CZL_FRM_CopyRight* ShowSingle(std::unique_ptr<TBXV_CZL_FRM_CopyRight>& dialog,
                                              pile::platform::SystemShell& shell,
                                              QWidget* opener = nullptr);

    void ShowCentred();

    // "版本 1.0.0 · Qt 6.4.2": the project's version and the Qt version the program runs with.
    static QString VersionText();

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

    pile::platform::SystemShell& shell_;
    QWidget* opener_ = nullptr;
    std::unique_ptr<Dismissal> dismissal_;
    QWidget* CopyRightLayer = nullptr;
    QLabel* lb_danwei = nullptr;
    QLabel* lb_wangzhi = nullptr;
    QLabel* lb_lianxiUr = nullptr;
    QPushButton* cbt_update = nullptr;
};
