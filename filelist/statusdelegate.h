#pragma once

#include "widgetcelldelegate.h"

class QLabel;

// Draws a status cell as the stylesheet styles QLabel#OperateStateLable for the cell's "Success" value.
// One hidden label renders each status once per cell size; rows only blit the result.
class StatusDelegate : public WidgetCellDelegate
{
    Q_OBJECT
public:
    explicit StatusDelegate(QWidget *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
private:
    QPixmap statusPixmap(int status, const QSize &size, qreal ratio) const;

    QLabel *m_label;
};
