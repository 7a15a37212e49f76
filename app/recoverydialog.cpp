#include "recoverydialog.h"

#include "ui_recoverydialog.h"

namespace {

// As a job shows its warnings: the first few one by one.
constexpr int ShownFailures = 3;

} // namespace

RecoveryDialog::RecoveryDialog(const JournalRecovery::Found &journal, QWidget *parent)
    : QDialog(parent), ui(new Ui::RecoveryDialog), m_journal(journal.path)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->okBtn->hide();
    ui->jobLabel->setText(QStringLiteral("页面：%1\n开始时间：%2\n文件数：%3，已完成：%4")
                              .arg(pageName(journal.kind),
                                   journal.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                              .arg(journal.items)
                              .arg(journal.done));
}

RecoveryDialog::~RecoveryDialog()
{
    delete ui;
}

QString RecoveryDialog::pageName(JobJournal::Kind kind)
{
    switch (kind) {
    case JobJournal::Rename:
        return QStringLiteral("批量重命名");
    case JobJournal::RenameUndo:
        return QStringLiteral("批量重命名（撤销修改）");
    case JobJournal::Time:
        return QStringLiteral("修改文件时间");
    case JobJournal::TimeUndo:
        return QStringLiteral("修改文件时间（撤销修改）");
    case JobJournal::CreateFolders:
        return QStringLiteral("批量新建文件夹");
    case JobJournal::CreateFiles:
        return QStringLiteral("批量新建文件");
    }
    return QString();
}

QString RecoveryDialog::summary(const QVector<JournalRecovery::Row> &rows)
{
    int failed = 0;
    for (const JournalRecovery::Row &row : rows)
        failed += !row.ok;
    return QStringLiteral("共%1个文件：成功%2个，失败%3个").arg(rows.size()).arg(rows.size() - failed).arg(failed);
}

void RecoveryDialog::on_restoreBtn_clicked()
{
    recover(JournalRecovery::Restore);
}

void RecoveryDialog::on_completeBtn_clicked()
{
    recover(JournalRecovery::Complete);
}

void RecoveryDialog::on_laterBtn_clicked()
{
    reject();
}

void RecoveryDialog::on_okBtn_clicked()
{
    accept();
}

void RecoveryDialog::recover(JournalRecovery::Choice choice)
{
    const QVector<JournalRecovery::Row> rows = JournalRecovery::recover(m_journal, choice);
    QStringList notes;
    for (const JournalRecovery::Row &row : rows) {
        if (!row.message.isEmpty() && notes.size() < ShownFailures)
            notes.append(row.message);
    }
    ui->titleLabel->setText(choice == JournalRecovery::Restore ? QStringLiteral("已恢复原状")
                                                               : QStringLiteral("已继续完成"));
    ui->jobLabel->setText(summary(rows));
    ui->questionLabel->setText(notes.isEmpty() ? QStringLiteral("全部文件已处理。") : notes.join(QLatin1Char('\n')));
    ui->restoreBtn->hide();
    ui->completeBtn->hide();
    ui->laterBtn->hide();
    ui->okBtn->show();
    ui->okBtn->setFocus();
}
