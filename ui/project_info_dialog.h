// "项目信息…": the nine fields of the report's cover in a form, for the session to keep.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "session/project_info.h"

class QLineEdit;

namespace pile::ui {

class ProjectInfoDialog : public QDialog {
    Q_OBJECT

  public:
    // `today` stands in 日期 when the project has no date, as the cover prints a date.
    ProjectInfoDialog(QWidget* parent, const session::ProjectInfo& project, const QString& today);

    // The fields as they stand in the boxes, blanks around each left off.
    session::ProjectInfo Project() const;

  private:
    std::array<QLineEdit*, session::kProjectFields.size()> boxes_{};
};

}  // namespace pile::ui
