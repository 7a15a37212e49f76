#include "collectinfopage.h"

CollectInfoPage::CollectInfoPage(QWidget *parent) : QWidget(parent) {}

void CollectInfoPage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}
