// Message boxes as the save flow needs them, behind an interface so that the flow runs and is
// tested without a display. The real boxes: MessageBoxPresenter (message_box_presenter.h).
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>

namespace pile::platform {

class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    // A box with the text and a button to close it; `closed` (may be empty) runs once the
    // user has closed it. Returns at once.
    virtual void showMessage(const QString& text, std::function<void()> closed) = 0;
    // The toolkit's standard error box. Returns at once.
    virtual void showError(const QString& text) = 0;
    // A question with a button for each of `answers`; returns once answered, with the index
    // of the button pressed: `enter` for Enter, `escape` for Esc or a closed box.
    virtual std::size_t askChoice(const QString& text, const QStringList& answers,
                                  std::size_t enter, std::size_t escape) = 0;
};

}  // namespace pile::platform
