#include "project_info_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "io/qt_text.h"

namespace pile::ui {

ProjectInfoDialog::ProjectInfoDialog(QWidget* parent, const session::ProjectInfo& project,
                                     const QString& today)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("项目信息"));
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const session::ProjectField& field = session::kProjectFields[i];
        const QString key = io::ToQString(field.key);
        auto* box = new QLineEdit(io::ToQString(project.*field.member), this);
        box->setAccessibleName(key);
        box->setMinimumWidth(320);
        form->addRow(key, box);
        boxes_[i] = box;
    }
    if (project.date.empty()) {
        boxes_.back()->setText(today);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // The buttons' own words, whatever translations Qt has loaded.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

session::ProjectInfo ProjectInfoDialog::Project() const {
    session::ProjectInfo project;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        project.*session::kProjectFields[i].member = io::ToU16(boxes_[i]->text().trimmed());
    }
    return project;
}

}  // namespace pile::ui
