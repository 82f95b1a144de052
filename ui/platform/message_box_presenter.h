// The real message boxes: QMessageBox, opened without blocking (the flow goes on in the
// routine run when the box is closed), deleted once closed.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/platform/message_presenter.h"

namespace pile::platform {

class MessageBoxPresenter final : public MessagePresenter {
  public:
    // `parent`: the window the boxes belong to and take their caption from; may be null.
    explicit MessageBoxPresenter(QWidget* parent = nullptr);

    void showMessage(const QString& text, std::function<void()> closed) override;
    void showError(const QString& text) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace pile::platform
