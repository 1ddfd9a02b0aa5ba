#include "ScheduleBrowserDialog.h"

#include "ScheduleMgr.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int kLabelMargin = 4;
} // namespace

ScheduleBrowserDialog::ScheduleBrowserDialog(QWidget *parent, ScheduleMgr *scheduleMgr)
    : ScheduleDialogBase(u"浏览日程"_s, parent)
    , scheduleMgr(scheduleMgr)
{
    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    verticalLayout_2->setSpacing(0);

    auto *horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(u"horizontalLayout_2"_s);
    horizontalLayout_2->setContentsMargins(9, 6, 9, 0);
    checkAll_ = new QCheckBox(u"全选"_s, this);
    checkAll_->setObjectName(u"checkAll_"_s);
    horizontalLayout_2->addWidget(checkAll_);
    delete_ = makeGreenButton(u"delete_"_s, u"删除"_s);
    horizontalLayout_2->addWidget(delete_);
    horizontalLayout_2->addStretch();
    verticalLayout_2->addLayout(horizontalLayout_2);
    verticalLayout_2->addSpacing(6);

    tableWidget_ = new QTableWidget(this);
    tableWidget_->setObjectName(u"tableWidget_"_s);
    tableWidget_->setColumnCount(1);
    tableWidget_->horizontalHeader()->setVisible(false);
    tableWidget_->verticalHeader()->setVisible(false);
    tableWidget_->horizontalHeader()->setDefaultSectionSize(400);
    tableWidget_->horizontalHeader()->setMinimumSectionSize(400);
    tableWidget_->setColumnWidth(0, 400);
    tableWidget_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableWidget_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_->setCornerButtonEnabled(true);
    verticalLayout_2->addWidget(tableWidget_, 1);

    verticalLayout->addLayout(verticalLayout_2, 1);

    connect(checkAll_, &QCheckBox::clicked, this, &ScheduleBrowserDialog::onCheckAll);
    connect(delete_, &QToolButton::clicked, this, &ScheduleBrowserDialog::onDelete);
    connect(close_, &QToolButton::clicked, this, &QDialog::close);
    connect(tableWidget_, &QTableWidget::itemSelectionChanged, this,
            &ScheduleBrowserDialog::onItemSelectionChanged);
    // A reminder that fires or a schedule added meanwhile must not leave stale rows on screen.
    connect(scheduleMgr, &ScheduleMgr::scheduleChanged, this, [this] {
        if (isVisible())
            refreshList();
    });
}

void ScheduleBrowserDialog::refreshList()
{
    tableWidget_->clearContents();
    const QList<Schedule> &schedules = scheduleMgr->schedules();
    tableWidget_->setRowCount(int(schedules.size()));
    // What a row can show of its text: the column inside the table's frame, less the label's
    // margins and room for a scroll bar, which a long list brings.
    const int room = tableWidget_->columnWidth(0) - 2 * tableWidget_->frameWidth() - 2 * kLabelMargin
        - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int row = 0; row < schedules.size(); ++row) {
        const Schedule &schedule = schedules.at(row);
        const QString text = schedule.timeText() + u" : "_s + schedule.description;
        auto *label = new QLabel;
        label->setObjectName(QString::number(schedule.id));
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(kLabelMargin, 0, kLabelMargin, 0);
        // A long description ends in "…" rather than being cut at the edge; the tool tip keeps it whole.
        const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, room);
        label->setText(shown);
        if (shown != text)
            label->setToolTip(text);
        tableWidget_->setCellWidget(row, 0, label);
    }
}

void ScheduleBrowserDialog::onCheckAll()
{
    if (checkAll_->isChecked())
        tableWidget_->selectAll();
}

void ScheduleBrowserDialog::onDelete()
{
    // Read every id before the first removal: each one emits scheduleChanged, which rebuilds the table.
    QList<int> ids;
    const QList<QTableWidgetSelectionRange> ranges = tableWidget_->selectedRanges();
    for (int row = tableWidget_->rowCount() - 1; row >= 0; --row) {
        const bool selected = std::any_of(ranges.begin(), ranges.end(), [row](const QTableWidgetSelectionRange &r) {
            return row >= r.topRow() && row <= r.bottomRow();
        });
        if (!selected)
            continue;
        bool ok = false;
        const int id = tableWidget_->cellWidget(row, 0)->objectName().toInt(&ok);
        if (ok)
            ids.append(id);
    }
    for (int id : std::as_const(ids))
        scheduleMgr->removeSchedule(id);
    refreshList();
    checkAll_->setChecked(false);
}

void ScheduleBrowserDialog::onItemSelectionChanged()
{
    const int selectedRows = int(tableWidget_->selectionModel()->selectedRows().size());
    if (selectedRows < tableWidget_->rowCount())
        checkAll_->setChecked(false);
}
