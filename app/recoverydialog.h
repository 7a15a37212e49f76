#pragma once

#include "fileops/journalrecovery.h"

#include <QDialog>

namespace Ui {
class RecoveryDialog;
}

// Asks what to do with a job the program did not finish (it was killed, the machine lost power): put every
// item of the batch back, finish the remaining steps, or decide at the next start. Once recovery has run it
// reports what it did, as a job does: a summary and the first failures. exec() returns Accepted once
// recovery ran, Rejected when it was put off.
class RecoveryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RecoveryDialog(const JournalRecovery::Found &journal, QWidget *parent = nullptr);
    ~RecoveryDialog() override;

    // The page a job of this kind runs on, as the dialog names it.
    static QString pageName(JobJournal::Kind kind);
    static QString summary(const QVector<JournalRecovery::Row> &rows);

private slots:
    void on_restoreBtn_clicked();
    void on_completeBtn_clicked();
    void on_laterBtn_clicked();
    void on_okBtn_clicked();

private:
    void recover(JournalRecovery::Choice choice);

    Ui::RecoveryDialog *ui;
    QString m_journal;
};
