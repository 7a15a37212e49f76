#include "operatewidget.h"
#include "ui_operatewidget.h"

#include <QLayout>

OperateWidget::OperateWidget(QWidget *parent) : QWidget(parent), ui(new Ui::OperateWidget)
{
    ui->setupUi(this);
    // The handle only shows where to grab: the press goes through to the table, which starts the row drag.
    ui->sortBtn->setAttribute(Qt::WA_TransparentForMouseEvents);
}

OperateWidget::~OperateWidget()
{
    delete ui;
}

void OperateWidget::setOpenVisible(bool visible)
{
    ui->openBtn->setVisible(visible);
}

void OperateWidget::setSortVisible(bool visible)
{
    ui->sortBtn->setVisible(visible);
}

void OperateWidget::layoutFor(const QSize &size)
{
    resize(size);
    layout()->setGeometry(QRect(QPoint(), size));
    ui->btnWidget->layout()->setGeometry(QRect(QPoint(), ui->btnWidget->size()));
}

QAbstractButton *OperateWidget::buttonAt(const QPoint &pos) const
{
    for (QAbstractButton *button : {static_cast<QAbstractButton *>(ui->deleteBtn),
                                    static_cast<QAbstractButton *>(ui->openBtn)}) {
        if (button->isVisibleTo(this) && QRect(button->mapTo(this, QPoint()), button->size()).contains(pos))
            return button;
    }
    return nullptr;
}

void OperateWidget::on_openBtn_clicked()
{
    emit openDir();
}

void OperateWidget::on_deleteBtn_clicked()
{
    emit deleteFile();
}

void OperateWidget::on_sortBtn_clicked()
{
    emit startSort();
}
