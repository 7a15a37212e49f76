#pragma once

#include <QDialog>

namespace Ui {
class TipDialog;
}

// Asks whether to quit; accepted means "退出".
class TipDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TipDialog(QWidget *parent = nullptr);
    ~TipDialog() override;

private slots:
    void on_exitBtn_clicked();
    void on_cancelBtn_clicked();

private:
    Ui::TipDialog *ui;
};
