#include "ui/platform/message_box_presenter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <utility>

namespace pile::platform {
namespace {

void OpenBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
             std::function<void()> closed) {
    const QString caption =
        parent ? parent->window()->windowTitle() : QGuiApplication::applicationDisplayName();
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box, [closed = std::move(closed)](int) {
        if (closed) {
            closed();
        }
    });
    box->open();
}

}  // namespace

MessageBoxPresenter::MessageBoxPresenter(QWidget* parent) : parent_(parent) {}

void MessageBoxPresenter::showMessage(const QString& text, std::function<void()> closed) {
    OpenBox(parent_, QMessageBox::NoIcon, text, std::move(closed));
}

void MessageBoxPresenter::showError(const QString& text) {
    OpenBox(parent_, QMessageBox::Critical, text, {});
}

}  // namespace pile::platform
