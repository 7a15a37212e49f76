#pragma once

#include <QWidget>

namespace Ui {
class CreateFilePageWidget;
}

class CreateFileEmpty;

// The left side of the create page: only the list of planned items.
class CreateFilePageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CreateFilePageWidget(QWidget *parent = nullptr);
    ~CreateFilePageWidget() override;

    CreateFileEmpty *fileList() const;

signals:
    void tabelEmpty(bool isEmpty);

private:
    Ui::CreateFilePageWidget *ui;
};
