#pragma once

#include <QWidget>

namespace Ui {
class TimePage;
}

class TimePageWidget;
class TimePropertyWidget;

// A time page: the toolbar and list on the left, the time settings panel on the right. The same class
// serves the file time page and the folder time page.
class TimePage : public QWidget
{
    Q_OBJECT
public:
    explicit TimePage(QWidget *parent = nullptr);
    ~TimePage() override;

    // Called once, right after construction: false for the file page, true for the folder page.
    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }
    TimePageWidget *editWidget() const;
    TimePropertyWidget *propertyWidget() const;

private:
    void onTabelEmpty(bool isEmpty);

    Ui::TimePage *ui;
    bool m_folderMode = false;
};
