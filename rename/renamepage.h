#pragma once

#include <QWidget>

// Page container; its list and settings panel come with the page's own feature.
class RenamePage : public QWidget
{
    Q_OBJECT
public:
    explicit RenamePage(QWidget *parent = nullptr);

    void setFolderMode(bool folderMode);
    bool folderMode() const { return m_folderMode; }

private:
    bool m_folderMode = false;
};
