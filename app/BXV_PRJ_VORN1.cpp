// The program: one window and the event loop. No settings, nothing saved on the way out: the
// session journal has every record already. The one argument is a schedule to import
// (`BXV_PRJ_VORN1 桩表.xlsx`, as the desktop's "打开方式" starts it).
#include <QMessageBox>
#include <QPushButton>

#include "ui/BXV_PAS_VORN1.h"
#include "ui/guarded_application.h"
#include "ui/platform/qt_translation.h"

int main(int argc, char* argv[]) {
    // An error that escapes a handler is shown in the standard error box; the program goes on.
    pile::ui::GuardedApplication application(argc, argv);
    // Message boxes speak Chinese on their buttons too.
    pile::platform::InstallQtChineseTranslation(application);
    TBXV_FRM_VORN1 window;
    window.show();
    // Under a bare X server a new window has no keyboard focus until it is clicked.
    window.raise();
    window.activateWindow();
    // Before anything else is done: the records an earlier session left unsaved.
    window.OfferRecovery([&window](const QString& question) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("恢复上次的计算"), question,
                        QMessageBox::NoButton, &window);
        QPushButton* restore = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
        QPushButton* fresh = box.addButton(QStringLiteral("不恢复"), QMessageBox::RejectRole);
        box.setDefaultButton(restore);
        box.setEscapeButton(fresh);
        // The counts can be copied into a note about what was lost.
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box.exec();
        return box.clickedButton() == restore;
    });
    // After the recovery, so that the question about the books counts the restored records.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1) {
        window.OpenSchedule(arguments.at(1));
    }
    // Closing the window, by "退出" or through the platform, ends the loop.
    return pile::ui::GuardedApplication::exec();
}
