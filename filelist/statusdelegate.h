#pragma once

#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

class QLabel;

// Draws a status cell as the stylesheet styles QLabel#OperateStateLable for the cell's "Success" value.
// One hidden label renders each status once per cell size; rows only blit the result.
class StatusDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit StatusDelegate(QWidget *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // Forgets the rendered statuses after a change of style.
    void clearCache();

private:
    QPixmap statusPixmap(int status, const QSize &size, qreal ratio) const;

    QLabel *m_label;
    mutable QHash<QString, QPixmap> m_cache;
};
