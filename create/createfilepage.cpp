#include "createfilepage.h"
#include "ui_createfilepage.h"

#include "create/createfileempty.h"
#include "create/createfilepropertywidget.h"
#include "create/custormcreate.h"
#include "create/importcreate.h"

#include <QFileInfo>

CreateFilePage::CreateFilePage(QWidget *parent) : QWidget(parent), ui(new Ui::CreateFilePage)
{
    ui->setupUi(this);
    connect(ui->propertyWidget, &CreateFilePropertyWidget::changePage, ui->editWidgget->fileList(),
            &CreateFileEmpty::onPageChanged);
    // The start button follows the list: enabled exactly while it reports rows.
    connect(ui->editWidgget, &CreateFilePageWidget::tabelEmpty, ui->propertyWidget,
            [this](bool isEmpty) { ui->propertyWidget->setStartEnabled(!isEmpty); });
}

CreateFilePage::~CreateFilePage()
{
    delete ui;
}

CreateFilePageWidget *CreateFilePage::editWidget() const
{
    return ui->editWidgget;
}

CreateFilePropertyWidget *CreateFilePage::propertyWidget() const
{
    return ui->propertyWidget;
}

int CreateFilePage::takeGivenPaths(const QStringList &paths)
{
    int unused = 0;
    QString folder;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            folder = path;
        else
            ++unused;
    }
    if (!folder.isEmpty()) {
        ui->propertyWidget->custormPage()->setTargetFolder(folder);
        ui->propertyWidget->importPage()->setTargetFolder(folder);
    }
    return unused;
}
