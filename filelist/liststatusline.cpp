#include "liststatusline.h"
#include "ui_liststatusline.h"

#include "filelist/customtabelwidget.h"
#include "filelist/itemlistwidget.h"
#include "filelist/revealinfilemanager.h"

#include <QAbstractItemModel>

ListStatusLine::ListStatusLine(QWidget *parent) : QWidget(parent), ui(new Ui::ListStatusLine)
{
    ui->setupUi(this);
    hideSummary();
}

ListStatusLine::~ListStatusLine()
{
    delete ui;
}

void ListStatusLine::setList(ItemListWidget *list)
{
    m_list = list;
    // The table's own notices: every way rows come and go (additions, deletions, clearing, a new plan) passes
    // through them.
    const QAbstractItemModel *model = list->table()->model();
    const auto rowsChanged = [this] {
        updateCount();
        hideSummary();
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(list, &ItemListWidget::jobFinished, this, &ListStatusLine::showSummary);
    updateCount();
}

QString ListStatusLine::countText() const
{
    return ui->listCountLabel->text();
}

QString ListStatusLine::summaryText() const
{
    return ui->jobSummaryLabel->isHidden() ? QString() : ui->jobSummaryLabel->text();
}

void ListStatusLine::updateCount()
{
    ui->listCountLabel->setText(m_list ? m_list->countText(m_list->table()->rowCount()) : QString());
}

void ListStatusLine::showSummary(const QString &summary, const QString &writtenFile)
{
    m_writtenFile = writtenFile;
    ui->jobSummaryLabel->setText(summary);
    ui->jobSummaryLabel->setToolTip(writtenFile.isEmpty() ? summary : writtenFile);
    ui->jobSummaryLabel->setVisible(!summary.isEmpty());
    ui->showFileBtn->setVisible(!writtenFile.isEmpty());
}

void ListStatusLine::hideSummary()
{
    showSummary(QString(), QString());
}

void ListStatusLine::on_showFileBtn_clicked()
{
    revealInFileManager(m_writtenFile);
}
