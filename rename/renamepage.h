#pragma once

#include <QWidget>

namespace Ui {
class RenamePage;
}

class RenamePageWidget;
class RenamePropertyWidget;

// A rename page: the toolbar and list on the left, the settings panel on the right. The same class serves
// the file-rename and the folder-rename page.
class RenamePage : public QWidget
{
    Q_OBJECT
public:
    explicit RenamePage(QWidget *parent = nullptr);
    ~RenamePage() override;

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }
    RenamePageWidget *editWidget() const;
    RenamePropertyWidget *propertyWidget() const;

private:
    void onTabelEmpty(bool isEmpty);

    Ui::RenamePage *ui;
    bool m_folderMode = false;
};
