#include "createfilepage.h"

CreateFilePage::CreateFilePage(QWidget *parent) : QWidget(parent) {}
