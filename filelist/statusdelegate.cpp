#include "statusdelegate.h"

#include "tableroles.h"
#include "common/entrystatus.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QStyle>

StatusDelegate::StatusDelegate(QWidget *view) : QStyledItemDelegate(view), m_label(new QLabel(view))
{
    m_label->setObjectName(QStringLiteral("OperateStateLable"));
    m_label->hide();
}

void StatusDelegate::clearCache()
{
    m_cache.clear();
}

void StatusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background(option);
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);

    const QVariant status = index.data(TableRole::Success);
    if (!status.isValid())
        return;
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect area = option.rect.adjusted(margin, 0, -margin, 0);
    if (area.isEmpty())
        return;
    painter->drawPixmap(area.topLeft(), statusPixmap(status.toInt(), area.size(), painter->device()->devicePixelRatioF()));
}

QPixmap StatusDelegate::statusPixmap(int status, const QSize &size, qreal ratio) const
{
    const QString key = QStringLiteral("%1/%2x%3@%4").arg(status).arg(size.width()).arg(size.height()).arg(ratio);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return it.value();

    m_label->setText(entryStatusText(status));
    m_label->setProperty("Success", status);
    // The stylesheet keys on "Success": re-apply it for the new value.
    m_label->style()->unpolish(m_label);
    m_label->style()->polish(m_label);
    m_label->resize(size);

    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    m_label->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    m_cache.insert(key, pixmap);
    return pixmap;
}
