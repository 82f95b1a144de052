#include "design_dialog.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "io/qt_text.h"
#include "program_title.h"
#include "session/project_table.h"
#include "ui_colours.h"
#include "ui_fonts.h"

namespace pile::ui {

namespace {

using io::ToQString;
using session::ProjectColumn;
using Outcome = session::RowDesign::Outcome;

// The record's own cells as the project table shows them, then what sizing found.
constexpr std::array<ProjectColumn, 4> kRecordColumns = {
    ProjectColumn::Mark, ProjectColumn::Section, ProjectColumn::Size, ProjectColumn::Hr};
QString Heading(ProjectColumn column) {
    return ToQString(std::u16string(session::ProjectColumnName(column)));
}

const std::array<QString, 6> kDesignHeadings = {
    QStringLiteral("选型 d(mm)"), QStringLiteral("选型 hr"),       Heading(ProjectColumn::Ra),
    Heading(ProjectColumn::Rc),   Heading(ProjectColumn::Verdict), QStringLiteral("说明")};

QTableWidgetItem* Cell(const std::u16string& text) {
    auto* item = new QTableWidgetItem(ToQString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

DesignDialog::DesignDialog(const std::vector<session::RecordInputs>& records,
                           const std::vector<session::RowDesign>& designs, QWidget* parent)
    : QDialog(parent), designs_(designs) {
    setObjectName(QStringLiteral("DesignDialog"));
    setWindowTitle(QStringLiteral("选型 - ") + kProgramTitle);
    setFont(ControlFont());

    // Only piles with loads have something to show: a proposal, a shortfall or why not.
    for (std::size_t i = 0; i < records.size() && i < designs.size(); ++i) {
        if (!records[i].loads.Empty()) {
            recordOfRow_.push_back(i);
        }
    }
    const int columns = 1 + static_cast<int>(kRecordColumns.size() + kDesignHeadings.size());
    table_ = new QTableWidget(static_cast<int>(recordOfRow_.size()), columns, this);
    table_->setObjectName(QStringLiteral("tbl_xuanxing"));
    table_->setAccessibleName(QStringLiteral("选型"));
    QStringList headings = {QStringLiteral("采用")};
    for (const ProjectColumn column : kRecordColumns) {
        headings << Heading(column);
    }
    for (const QString& heading : kDesignHeadings) {
        headings << heading;
    }
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);

    for (int row = 0; row < static_cast<int>(recordOfRow_.size()); ++row) {
        const std::size_t index = recordOfRow_[static_cast<std::size_t>(row)];
        const session::RowDesign& design = designs[index];
        const session::ProjectRow cells =
            session::ProjectRowOf(records[index], static_cast<int>(index) + 1);
        auto* take = new QTableWidgetItem;
        if (design.outcome == Outcome::Sized) {
            take->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            take->setCheckState(Qt::Checked);
        } else {
            take->setFlags(Qt::NoItemFlags);
        }
        table_->setItem(row, 0, take);
        int column = 1;
        for (const ProjectColumn part : kRecordColumns) {
            table_->setItem(row, column++, Cell(cells.Cell(part)));
        }
        const std::u16string none;
        const bool found = design.design.has_value();
        const auto& pile = design.design;
        for (const std::u16string* text :
             {found ? &pile->panel.ddText : &none, found ? &pile->panel.hrText : &none,
              found ? &pile->results.ra : &none, found ? &pile->results.rc : &none,
              found ? &pile->check.verdict : &none, &design.note}) {
            table_->setItem(row, column++, Cell(*text));
        }
        // Not by colour alone: the verdict and the note say it in words.
        if (design.outcome == Outcome::Unmet) {
            for (int c = 1; c < columns; ++c) {
                table_->item(row, c)->setForeground(QBrush(colours::kRed));
            }
        }
    }
    table_->resizeColumnsToContents();

    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lb_xuanxingShu"));
    auto* buttons = new QDialogButtonBox(this);
    append_ = buttons->addButton(QStringLiteral("追加为新记录"), QDialogButtonBox::AcceptRole);
    append_->setObjectName(QStringLiteral("cbt_zhuijia"));
    append_->setDefault(true);
    replace_ = buttons->addButton(QStringLiteral("替换原记录…"), QDialogButtonBox::AcceptRole);
    replace_->setObjectName(QStringLiteral("cbt_tihuan"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(append_, &QPushButton::clicked, this, [this] {
        choice_ = Choice::Append;
        accept();
    });
    connect(replace_, &QPushButton::clicked, this, [this] {
        choice_ = Choice::Replace;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemChanged, this, [this] { ShowCounts(); });

    auto* note = new QLabel(
        QStringLiteral("有荷载的圆桩：在桩径表中取能满足全部验算的最小桩径，再取其最小嵌岩深度；"
                       "截面、混凝土、工艺和岩石参数不变。椭圆桩、矩形桩只验算。"),
        this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(table_, 1);
    layout->addWidget(counts_);
    layout->addWidget(buttons);
    resize(1100, 560);
    ShowCounts();
}

std::vector<bool> DesignDialog::Accepted() const {
    std::vector<bool> accepted(designs_.size(), false);
    for (int row = 0; row < static_cast<int>(recordOfRow_.size()); ++row) {
        const QTableWidgetItem* take = table_->item(row, 0);
        accepted[recordOfRow_[static_cast<std::size_t>(row)]] =
            (take->flags() & Qt::ItemIsUserCheckable) && take->checkState() == Qt::Checked;
    }
    return accepted;
}

std::size_t DesignDialog::AcceptedCount() const {
    const std::vector<bool> accepted = Accepted();
    return static_cast<std::size_t>(std::count(accepted.begin(), accepted.end(), true));
}

void DesignDialog::ShowCounts() {
    std::size_t sized = 0;
    std::size_t unmet = 0;
    for (const std::size_t index : recordOfRow_) {
        sized += designs_[index].outcome == Outcome::Sized;
        unmet += designs_[index].outcome == Outcome::Unmet;
    }
    const std::size_t taken = AcceptedCount();
    counts_->setText(QStringLiteral("有荷载 %1 根：选型 %2 根（采用 %3 根），无满足要求的桩 %4 根")
                         .arg(recordOfRow_.size())
                         .arg(sized)
                         .arg(taken)
                         .arg(unmet));
    append_->setEnabled(taken > 0);
    replace_->setEnabled(taken > 0);
}

}  // namespace pile::ui
