// The real message boxes: QMessageBox, opened without blocking (the flow goes on in the
// routine run when the box is closed), deleted once closed; a question blocks until answered.
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
    // A modal box: the one question that must be answered before the action goes on.
    std::size_t askChoice(const QString& text, const QStringList& answers, std::size_t enter,
                          std::size_t escape) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace pile::platform
