#include "timepage.h"

TimePage::TimePage(QWidget *parent) : QWidget(parent) {}

void TimePage::setFolderMode(bool folderMode)
{
    m_folderMode = folderMode;
}
