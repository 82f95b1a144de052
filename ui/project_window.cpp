#include "project_window.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "io/qt_text.h"
#include "program_title.h"
#include "ui_colours.h"
#include "ui_fonts.h"

namespace pile::ui {

using io::ToQString;
using session::ProjectColumn;

namespace {

ProjectColumn ColumnOf(int column) {
    return static_cast<ProjectColumn>(column);
}

// A failing row reads as such without its colour too: its 验算 cell names the failed checks.
const QColor kFailedBackground(0xFF, 0xE0, 0xE0);

}  // namespace

// The session's rows as they stand; a cell's text becomes a QString only when it is drawn.
class ProjectModel : public QAbstractTableModel {
  public:
    ProjectModel(const session::ProjectTable& table,
                 std::function<bool(std::size_t, ProjectColumn, const QString&)> setLoad,
                 QObject* parent)
        : QAbstractTableModel(parent), table_(table), setLoad_(std::move(setLoad)) {
        failed_ = static_cast<std::size_t>(
            std::count_if(table.Rows().begin(), table.Rows().end(),
                          [](const session::ProjectRow& row) { return row.failed; }));
    }

    const session::ProjectRow& Row(int row) const {
        return table_.Rows()[static_cast<std::size_t>(row)];
    }
    std::size_t Failed() const { return failed_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : shown_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(session::kProjectColumns);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) {
            return {};
        }
        const session::ProjectRow& row = Row(index.row());
        const ProjectColumn column = ColumnOf(index.column());
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return ToQString(row.Cell(column));
            case Qt::TextAlignmentRole:
                return static_cast<int>(Qt::AlignVCenter |
                                        (std::isnan(row.numbers[static_cast<std::size_t>(column)])
                                             ? Qt::AlignLeft
                                             : Qt::AlignRight));
            case Qt::BackgroundRole:
                return row.failed ? QVariant(kFailedBackground) : QVariant();
            case Qt::ForegroundRole:
                return row.failed && column == ProjectColumn::Verdict ? QVariant(colours::kRed)
                                                                      : QVariant();
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        if (orientation == Qt::Vertical) {
            return section + 1;
        }
        return ToQString(session::ProjectColumnName(ColumnOf(section)));
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.isValid() && session::IsLoadColumn(ColumnOf(index.column()))) {
            flags |= Qt::ItemIsEditable;
        }
        return flags;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole ||
            !session::IsLoadColumn(ColumnOf(index.column()))) {
            return false;
        }
        // The hook's table change reports the row rebuilt.
        return setLoad_(static_cast<std::size_t>(index.row()), ColumnOf(index.column()),
                        value.toString());
    }

    void Follow(const session::ProjectChange& change) {
        for (const std::size_t row : change.rebuilt) {
            const int r = static_cast<int>(row);
            if (r < shown_) {
                emit dataChanged(index(r, 0), index(r, columnCount() - 1));
            }
        }
        if (change.removed.count > 0) {
            beginRemoveRows({}, static_cast<int>(change.removed.first),
                            static_cast<int>(change.removed.first + change.removed.count) - 1);
            shown_ = static_cast<int>(change.removed.first);
            endRemoveRows();
        }
        if (change.added.count > 0) {
            beginInsertRows({}, static_cast<int>(change.added.first),
                            static_cast<int>(change.added.first + change.added.count) - 1);
            shown_ = static_cast<int>(table_.Rows().size());
            endInsertRows();
        }
        failed_ = static_cast<std::size_t>(
            std::count_if(table_.Rows().begin(), table_.Rows().end(),
                          [](const session::ProjectRow& row) { return row.failed; }));
    }

  private:
    const session::ProjectTable& table_;
    std::function<bool(std::size_t, ProjectColumn, const QString&)> setLoad_;
    // The rows the view knows of: the table is ahead of it between a change and Follow.
    int shown_ = static_cast<int>(table_.Rows().size());
    std::size_t failed_ = 0;
};

// The session's order for a sorted column, and "只看不满足".
class ProjectFilter : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetFailedOnly(bool on) {
        if (on != failedOnly_) {
            failedOnly_ = on;
            invalidateRowsFilter();
        }
    }

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const auto& model = static_cast<const ProjectModel&>(*sourceModel());
        return session::ProjectLess(model.Row(left.row()), model.Row(right.row()),
                                    ColumnOf(left.column()));
    }
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return !failedOnly_ || static_cast<const ProjectModel&>(*sourceModel()).Row(row).failed;
    }

  private:
    bool failedOnly_ = false;
};

ProjectWindow::ProjectWindow(const session::ProjectTable& table, Hooks hooks)
    : QWidget(nullptr, Qt::Window), table_(table), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("ProjectWindow"));
    setWindowTitle(QStringLiteral("项目表 - ") + kProgramTitle);
    setFont(ControlFont());
    // The main window alone keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    model_ = new ProjectModel(
        table_,
        [this](std::size_t index, ProjectColumn column, const QString& text) {
            const std::optional<QString> refusal = hooks_.setLoad(index, column, text);
            // The refusal in red until the next edit; the cell keeps its value.
            message_->setText(refusal.value_or(QString()));
            return !refusal;
        },
        this);
    filter_ = new ProjectFilter(this);
    filter_->setSourceModel(model_);

    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("tbl_xiangmu"));
    view_->setAccessibleName(QStringLiteral("项目表"));
    view_->setModel(filter_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(-1, Qt::AscendingOrder);  // the records' order until a heading is clicked
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    view_->setWordWrap(false);
    // Rows of one height: the view does not measure 10 000 rows to lay them out.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Each column as wide as its heading (and the sort arrow) or ten digits; measured once from
    // the headings, never from 10 000 rows.
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (std::size_t i = 0; i < session::kProjectColumns; ++i) {
        const QString heading =
            ToQString(session::ProjectColumnName(ColumnOf(static_cast<int>(i))));
        view_->setColumnWidth(static_cast<int>(i),
                              std::max(digits, fontMetrics().horizontalAdvance(heading) + 28));
    }
    view_->setColumnWidth(
        static_cast<int>(ProjectColumn::Verdict),
        fontMetrics().horizontalAdvance(QStringLiteral("不满足（Nk>Ra、γ0N>Rc）")) + 12);
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        // A load cell opens its editor instead.
        if (index.isValid() && !session::IsLoadColumn(ColumnOf(index.column()))) {
            hooks_.showRecord(RecordAt(index.row()));
        }
    });

    failedOnly_ = new QCheckBox(QStringLiteral("只看不满足"), this);
    failedOnly_->setObjectName(QStringLiteral("chk_buManzu"));
    connect(failedOnly_, &QCheckBox::toggled, this, [this](bool on) {
        filter_->SetFailedOnly(on);
        ShowCounts();
    });
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lb_xiangmuShu"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("lb_xiangmuShuoming"));
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText, colours::kRed);
    message_->setPalette(palette);

    design_ = new QPushButton(QStringLiteral("选型…"), this);
    design_->setObjectName(QStringLiteral("cbt_xuanxing"));
    connect(design_, &QPushButton::clicked, this, [this] { hooks_.design(); });

    auto* top = new QHBoxLayout;
    top->addWidget(failedOnly_);
    top->addSpacing(16);
    top->addWidget(counts_);
    top->addStretch(1);
    top->addWidget(design_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    layout->addWidget(message_);
    resize(1280, 720);
    ShowCounts();
}

ProjectWindow::~ProjectWindow() = default;

void ProjectWindow::TableChanged(const session::ProjectChange& change) {
    if (!change.Any()) {
        return;
    }
    model_->Follow(change);
    ShowCounts();
}

void ProjectWindow::Open() {
    show();
    raise();
    activateWindow();
}

std::size_t ProjectWindow::RecordAt(int viewRow) const {
    return static_cast<std::size_t>(filter_->mapToSource(filter_->index(viewRow, 0)).row());
}

void ProjectWindow::ShowCounts() {
    counts_->setText(
        QStringLiteral("共 %1 根，不满足 %2 根").arg(table_.Rows().size()).arg(model_->Failed()));
}

}  // namespace pile::ui
