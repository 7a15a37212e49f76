#pragma once

#include <QDialog>

namespace Ui {
class WarningDialog;
}

// A message to the user. It deletes itself once closed, so it is created with new and shown with exec().
class WarningDialog : public QDialog
{
    Q_OBJECT
public:
    explicit WarningDialog(QWidget *parent = nullptr);
    ~WarningDialog() override;

    void setMessage(const QString &message);

private slots:
    void on_closeBtn_clicked();
    void on_okBtn_clicked();

private:
    Ui::WarningDialog *ui;
};
