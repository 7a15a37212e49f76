#include "widgetcelldelegate.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

void WidgetCellDelegate::clearCache()
{
    m_cache.clear();
}

QRect WidgetCellDelegate::contentArea(const QStyleOptionViewItem &option)
{
    const QWidget *view = option.widget;
    const QStyle *style = view ? view->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return option.rect.adjusted(margin, 0, -margin, 0);
}

void WidgetCellDelegate::paintBackground(QPainter *painter, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QStyleOptionViewItem background(option);
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);
}

QPixmap WidgetCellDelegate::renderCached(const QString &key, const QSize &size, qreal ratio,
                                         const std::function<QWidget *()> &prepare) const
{
    const QString fullKey = key + QStringLiteral("/%1x%2@%3").arg(size.width()).arg(size.height()).arg(ratio);
    auto it = m_cache.constFind(fullKey);
    if (it != m_cache.constEnd())
        return it.value();
    // Every width a resized column passes through would stay cached; only the current sizes matter.
    if (m_cache.size() >= MaxCachedPictures)
        m_cache.clear();
    QWidget *widget = prepare();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
    m_cache.insert(fullKey, pixmap);
    return pixmap;
}
