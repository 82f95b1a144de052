#include "ui/platform/message_box_presenter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

namespace pile::platform {
namespace {

QString CaptionOf(QWidget* parent) {
    return parent ? parent->window()->windowTitle() : QGuiApplication::applicationDisplayName();
}

void OpenBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
             std::function<void()> closed) {
    auto* box = new QMessageBox(icon, CaptionOf(parent), text, QMessageBox::Ok, parent);
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

std::size_t MessageBoxPresenter::askChoice(const QString& text, const QStringList& answers,
                                           std::size_t enter, std::size_t escape) {
    QMessageBox box(QMessageBox::Question, CaptionOf(parent_), text, QMessageBox::NoButton,
                    parent_);
    std::vector<QPushButton*> buttons;
    for (const QString& answer : answers) {
        // One role for all: the buttons stay in the order given, whatever the platform's.
        buttons.push_back(box.addButton(answer, QMessageBox::ActionRole));
    }
    box.setDefaultButton(buttons.at(enter));
    box.setEscapeButton(buttons.at(escape));
    box.exec();
    const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return pressed == buttons.end() ? escape : static_cast<std::size_t>(pressed - buttons.begin());
}

}  // namespace pile::platform
