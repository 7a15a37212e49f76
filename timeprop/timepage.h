#pragma once

#include <QWidget>

// Page container; its list and settings panel come with the page's own feature.
class TimePage : public QWidget
{
    Q_OBJECT
public:
    explicit TimePage(QWidget *parent = nullptr);

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }

private:
    bool m_folderMode = false;
};
