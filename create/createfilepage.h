#pragma once

#include <QWidget>

namespace Ui {
class CreateFilePage;
}

class CreateFilePageWidget;
class CreateFilePropertyWidget;

// The batch-create page: the list of planned items on the left, the settings panel with the import and
// custom creation pages on the right.
class CreateFilePage : public QWidget
{
    Q_OBJECT
public:
    explicit CreateFilePage(QWidget *parent = nullptr);
    ~CreateFilePage() override;

    CreateFilePageWidget *editWidget() const;
    CreateFilePropertyWidget *propertyWidget() const;
    // Paths handed to the program: a folder becomes the target folder of both creation pages (the last one
    // given wins). Returns how many paths were not folders and so were left unused.
    int takeGivenPaths(const QStringList &paths);

private:
    Ui::CreateFilePage *ui;
};
