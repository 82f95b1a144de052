// Stand-ins for the platform services, for tests: they record what they were asked and
// answer as the test says, without a display, a browser or a permission dialog.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

#include "ui/platform/message_presenter.h"
#include "ui/platform/permission_service.h"
#include "ui/platform/system_shell.h"

namespace pile::platform {

// Answers every request at once with `answer` for every name (default: denied).
class RefusingPermissionService final : public PermissionService {
  public:
    explicit RefusingPermissionService(PermissionAnswer answer = PermissionAnswer::Denied)
        : answer_(answer) {}
    void request(const QStringList& names, PermissionResultCallback result,
                 PermissionRationaleCallback /*rationale*/) override {
        requested.push_back(names);
        result(names, QList<PermissionAnswer>(names.size(), answer_));
    }
    std::vector<QStringList> requested;

  private:
    PermissionAnswer answer_;
};

// Asks for the rationale first; its continuation answers `answer` for every name.
class RationaleFirstPermissionService final : public PermissionService {
  public:
    explicit RationaleFirstPermissionService(PermissionAnswer answer = PermissionAnswer::Granted)
        : answer_(answer) {}
    void request(const QStringList& names, PermissionResultCallback result,
                 PermissionRationaleCallback rationale) override {
        requested.push_back(names);
        rationale(names, [names, result = std::move(result), answer = answer_] {
            result(names, QList<PermissionAnswer>(names.size(), answer));
        });
    }
    std::vector<QStringList> requested;

  private:
    PermissionAnswer answer_;
};

// Keeps every box open until the test closes it with CloseBox.
class RecordingMessagePresenter final : public MessagePresenter {
  public:
    struct Box {
        bool error = false;
        QString text;
        std::function<void()> closed;
    };
    void showMessage(const QString& text, std::function<void()> closed) override {
        boxes.push_back({false, text, std::move(closed)});
    }
    void showError(const QString& text) override { boxes.push_back({true, text, {}}); }
    // Answers the questions from `answers`, first in first out; Esc once they run out.
    std::size_t askChoice(const QString& text, const QStringList& choices, std::size_t /*enter*/,
                          std::size_t escape) override {
        questions.push_back(text + u'\n' + choices.join(u'|'));
        if (answers.empty()) {
            return escape;
        }
        const std::size_t answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    // The user closes box `index`: its routine runs.
    void CloseBox(std::size_t index) {
        if (auto closed = std::exchange(boxes.at(index).closed, {})) {
            closed();
        }
    }
    std::vector<Box> boxes;
    std::vector<QString> questions;  // each text, a line break and the answers joined by "|"
    std::vector<std::size_t> answers;
};

class RecordingShell final : public SystemShell {
  public:
    void open(const QUrl& target) override { opened.push_back(target); }
    std::vector<QUrl> opened;
};

}  // namespace pile::platform
