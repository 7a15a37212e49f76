#pragma once

#include <QWidget>

namespace Ui {
class CollectInfoPage;
}

class CollectInfoPagePropertWidget;
class CollectInfoPageWidget;

// A collect page: the toolbar and list on the left, the export settings on the right. The same class serves
// the file-name and the folder-name page.
class CollectInfoPage : public QWidget
{
    Q_OBJECT
public:
    explicit CollectInfoPage(QWidget *parent = nullptr);
    ~CollectInfoPage() override;

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }
    CollectInfoPageWidget *editWidget() const;
    CollectInfoPagePropertWidget *propertyWidget() const;

private:
    Ui::CollectInfoPage *ui;
    bool m_folderMode = false;
};
