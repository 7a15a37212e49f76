#include "statusdelegate.h"

#include "tableroles.h"
#include "hub/entrystatus.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>

StatusDelegate::StatusDelegate(QWidget *view) : WidgetCellDelegate(view), m_label(new QLabel(view))
{
    m_label->setObjectName(QStringLiteral("OperateStateLable"));
    m_label->hide();
}

void StatusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    paintBackground(painter, option, index);
    const QVariant status = index.data(TableRole::Success);
    if (!status.isValid())
        return;
    const QRect area = contentArea(option);
    if (area.isEmpty())
        return;
    painter->drawPixmap(area.topLeft(),
                        statusPixmap(status.toInt(), area.size(), painter->device()->devicePixelRatioF()));
}

QPixmap StatusDelegate::statusPixmap(int status, const QSize &size, qreal ratio) const
{
    return renderCached(QString::number(status), size, ratio, [this, status, size] {
        m_label->setText(entryStatusText(status));
        m_label->setProperty("Success", status);
        // The stylesheet keys on "Success": re-apply it for the new value.
        m_label->style()->unpolish(m_label);
        m_label->style()->polish(m_label);
        m_label->resize(size);
        return m_label;
    });
}
