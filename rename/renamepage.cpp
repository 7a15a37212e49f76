#include "renamepage.h"

RenamePage::RenamePage(QWidget *parent) : QWidget(parent) {}

void RenamePage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}
