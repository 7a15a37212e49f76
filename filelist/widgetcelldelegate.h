#pragma once

#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <functional>

// Base of the delegates that draw a cell as a styled widget would look, without a widget per row: the cell
// background comes from the view's style, the content from one hidden widget rendered once per look and size.
class WidgetCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Forgets the rendered pictures after a change of style.
    void clearCache();

protected:
    // The cell less the margins the view's style keeps beside a text.
    static QRect contentArea(const QStyleOptionViewItem &option);
    // The item's background and selection, without its text or icon.
    void paintBackground(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    // The picture of a widget at size, cached under key (which must tell apart everything else that changes
    // the look); on a miss, prepare lays the widget out for size and returns it.
    QPixmap renderCached(const QString &key, const QSize &size, qreal ratio,
                         const std::function<QWidget *()> &prepare) const;

private:
    static constexpr int MaxCachedPictures = 32;
    mutable QHash<QString, QPixmap> m_cache;
};
