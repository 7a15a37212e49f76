#include "timepreviewdelegate.h"

#include <QLabel>
#include <QPainter>

TimePreviewDelegate::TimePreviewDelegate(QWidget *view) : WidgetCellDelegate(view), m_label(new QLabel(view))
{
    m_label->setObjectName(QStringLiteral("previewTimeLabel"));
    m_label->hide();
}

QColor TimePreviewDelegate::accentColor() const
{
    if (!m_accent.isValid()) {
        m_label->ensurePolished();
        m_accent = m_label->palette().color(QPalette::WindowText);
    }
    return m_accent;
}

void TimePreviewDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    const QString onDisk = index.data(OnDiskRole).toString();
    const QString note = index.data(NoteRole).toString();
    if (onDisk.isEmpty() && note.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    paintBackground(painter, option, index);
    const QRect area = contentArea(option);
    const QString upper = onDisk.isEmpty() ? item.text : onDisk;
    const QString lower = note.isEmpty() ? item.text : note;
    const int lineHeight = item.fontMetrics.height();
    const int top = area.center().y() - lineHeight;

    painter->save();
    painter->setClipRect(area);
    painter->setFont(item.font);
    painter->setPen(item.palette.color(QPalette::Text));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter->drawText(QRect(area.left(), top, area.width(), lineHeight), flags,
                      item.fontMetrics.elidedText(upper, Qt::ElideRight, area.width()));
    painter->setPen(accentColor());
    painter->drawText(QRect(area.left(), top + lineHeight + 2, area.width(), lineHeight), flags,
                      item.fontMetrics.elidedText(lower, Qt::ElideRight, area.width()));
    painter->restore();
}
