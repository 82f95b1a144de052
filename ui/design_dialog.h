// 选型 from the project table: what sizing proposes for each pile with loads, row by row,
// before anything is computed. The user keeps or drops each proposal and takes them as new
// records or in place of the records they came from; the texts are the session's designs as
// they stand.
#pragma once

#include <QDialog>
#include <vector>

#include "session/panel_session.h"
#include "session/pile_design.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace pile::ui {

class DesignDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Choice { Append, Replace, Cancel };

    // One design per record of `records`; both must outlive the dialog.
    DesignDialog(const std::vector<session::RecordInputs>& records,
                 const std::vector<session::RowDesign>& designs, QWidget* parent);

    Choice TakenAs() const { return choice_; }
    // One flag per record: its proposal is to be taken.
    std::vector<bool> Accepted() const;
    std::size_t AcceptedCount() const;

    QTableWidget* Table() const { return table_; }
    QPushButton* AppendButton() const { return append_; }
    QPushButton* ReplaceButton() const { return replace_; }

  private:
    void ShowCounts();

    const std::vector<session::RowDesign>& designs_;
    std::vector<std::size_t> recordOfRow_;
    QTableWidget* table_ = nullptr;
    QLabel* counts_ = nullptr;
    QPushButton* append_ = nullptr;
    QPushButton* replace_ = nullptr;
    Choice choice_ = Choice::Cancel;
};

}  // namespace pile::ui
