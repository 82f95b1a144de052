// The project table (项目表) in a window of its own beside the book window: one row per record
// of the session, sortable by any column, a filter for the piles that fail their load check,
// the load cells editable in place, and a double click that shows the record in the books and
// the panel. The rows are the session's project table (session/project_table.h) as it stands:
// the window formats nothing and checks nothing, and it follows each change of the table at
// once, row by row.
#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>

#include "session/project_table.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace pile::ui {

class ProjectModel;
class ProjectFilter;

class ProjectWindow : public QWidget {
    Q_OBJECT

  public:
    struct Hooks {
        // Sets a load cell of record `index`; the refusal, when the value cannot be a load.
        std::function<std::optional<QString>(std::size_t index, session::ProjectColumn,
                                             const QString& text)>
            setLoad;
        // Shows record `index` in the books and the panel.
        std::function<void(std::size_t index)> showRecord;
        // "选型…": sizing proposed for the piles with loads, shown before anything is taken.
        std::function<void()> design;
    };

    // `table` must outlive the window.
    ProjectWindow(const session::ProjectTable& table, Hooks hooks);
    ~ProjectWindow() override;

    // The table followed its session by `change`; the rows on show follow.
    void TableChanged(const session::ProjectChange& change);
    // Shows the window, raised.
    void Open();

    QTableView* View() const { return view_; }
    QCheckBox* FailedOnly() const { return failedOnly_; }
    QLabel* Message() const { return message_; }
    QPushButton* DesignButton() const { return design_; }
    // The record that a row of the view shows.
    std::size_t RecordAt(int viewRow) const;

  private:
    void ShowCounts();

    const session::ProjectTable& table_;
    Hooks hooks_;
    ProjectModel* model_ = nullptr;
    ProjectFilter* filter_ = nullptr;
    QTableView* view_ = nullptr;
    QCheckBox* failedOnly_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* design_ = nullptr;
};

}  // namespace pile::ui
