#pragma once

#include <QWidget>

// Page container; its list and settings panel come with the page's own feature.
class CollectInfoPage : public QWidget
{
    Q_OBJECT
public:
    explicit CollectInfoPage(QWidget *parent = nullptr);

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }

private:
    bool m_folderMode = false;
};
