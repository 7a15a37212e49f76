#pragma once

#include <QWidget>

namespace Ui {
class CustormCheckBox;
}

// A labelled switch of the settings pages. Checked() reports the user's clicks only, so code that sets the
// state never triggers the owner's click handling.
class CustormCheckBox : public QWidget
{
    Q_OBJECT
public:
    explicit CustormCheckBox(QWidget *parent = nullptr);
    ~CustormCheckBox() override;

    void setText(const QString &text);
    QString text() const;
    void setChecked(bool checked);
    bool isChecked() const;

signals:
    void Checked(bool isChecked);

private:
    Ui::CustormCheckBox *ui;
};
