#include "actiondelegate.h"

#include "operatewidget.h"
#include "tableroles.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>

ActionDelegate::ActionDelegate(OperateWidget *operate, QWidget *view)
    : WidgetCellDelegate(view), m_operate(operate)
{
}

void ActionDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    paintBackground(painter, option, index);
    if (option.rect.isEmpty())
        return;
    painter->drawPixmap(option.rect.topLeft(), cellPixmap(option.rect.size(), painter->device()->devicePixelRatioF()));
}

QPixmap ActionDelegate::cellPixmap(const QSize &size, qreal ratio) const
{
    // The buttons shown are part of the key: a list may hide some of them.
    const QString key = QStringLiteral("%1%2")
                            .arg(buttonRect(QRect(QPoint(), size), QStringLiteral("openBtn")).isEmpty())
                            .arg(m_operate->findChild<QWidget *>(QStringLiteral("sortBtn"))->isVisibleTo(m_operate));
    return renderCached(key, size, ratio, [this, size] {
        m_operate->layoutFor(size);
        return m_operate;
    });
}

QRect ActionDelegate::buttonRect(const QRect &cellRect, const QString &objectName) const
{
    auto *button = m_operate->findChild<QAbstractButton *>(objectName);
    if (!button || !button->isVisibleTo(m_operate))
        return QRect();
    m_operate->layoutFor(cellRect.size());
    return QRect(button->mapTo(m_operate, QPoint()) + cellRect.topLeft(), button->size());
}

QAbstractButton *ActionDelegate::buttonAt(const QRect &cellRect, const QPoint &pos) const
{
    m_operate->layoutFor(cellRect.size());
    return m_operate->buttonAt(pos - cellRect.topLeft());
}

bool ActionDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                               const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The drag handle is not clickable but has a tooltip too.
    m_operate->layoutFor(option.rect.size());
    const auto *button = qobject_cast<QAbstractButton *>(m_operate->childAt(event->pos() - option.rect.topLeft()));
    if (!button || button->toolTip().isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(event->globalPos(), button->toolTip(), view, buttonRect(option.rect, button->objectName()));
    return true;
}

bool ActionDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QStyledItemDelegate::editorEvent(event, model, option, index);

    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    QAbstractButton *button = buttonAt(option.rect, mouse->pos());
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        m_pressed = button;
        m_pressedIndex = index;
        return button != nullptr;
    }

    // A click is a press and a release on the same drawn button of the same row.
    const bool clicked = button && button == m_pressed && m_pressedIndex == index;
    m_pressed = nullptr;
    m_pressedIndex = QPersistentModelIndex();
    if (!clicked)
        return button != nullptr;

    auto *table = qobject_cast<QTableWidget *>(parent());
    QTableWidgetItem *item = table ? table->item(index.row(), index.column()) : nullptr;
    m_operate->setProperty("ItemPtr", QVariant::fromValue<qulonglong>(reinterpret_cast<quintptr>(item)));
    m_operate->setProperty("UUID", index.data(TableRole::Id).toString());
    button->click();
    return true;
}
