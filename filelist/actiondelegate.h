#pragma once

#include "widgetcelldelegate.h"

#include <QPointer>

class OperateWidget;
class QAbstractButton;

// Draws every row's action cell with one OperateWidget and turns a click on a drawn button into that
// button's click, after giving the widget the row's "ItemPtr" (the cell's item) and "UUID" (the row id).
class ActionDelegate : public WidgetCellDelegate
{
    Q_OBJECT
public:
    ActionDelegate(OperateWidget *operate, QWidget *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    // The drawn buttons show the tooltips of the buttons they picture.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // Where the button with this object name is drawn inside a cell (view coordinates); empty if hidden.
    QRect buttonRect(const QRect &cellRect, const QString &objectName) const;

private:
    QAbstractButton *buttonAt(const QRect &cellRect, const QPoint &pos) const;
    QPixmap cellPixmap(const QSize &size, qreal ratio) const;

    OperateWidget *m_operate;
    QPointer<QAbstractButton> m_pressed;
    QPersistentModelIndex m_pressedIndex;
};
