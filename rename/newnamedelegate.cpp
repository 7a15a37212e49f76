#include "newnamedelegate.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTextOption>

namespace {

constexpr int MarkSize = 16;
constexpr int MarkGap = 6;

} // namespace

NewNameDelegate::NewNameDelegate(QWidget *view) : WidgetCellDelegate(view), m_label(new QLabel(view))
{
    m_label->setObjectName(QStringLiteral("conflictNameLabel"));
    m_label->hide();
}

QColor NewNameDelegate::markColor(int mark) const
{
    auto it = m_colors.constFind(mark);
    if (it != m_colors.constEnd())
        return it.value();
    m_label->setProperty("Conflict", mark);
    // The stylesheet keys on "Conflict": re-apply it for the new value.
    m_label->style()->unpolish(m_label);
    m_label->style()->polish(m_label);
    return *m_colors.insert(mark, m_label->palette().color(QPalette::WindowText));
}

QPixmap NewNameDelegate::markPixmap(const QColor &color, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0, 0, size, size));
    // The exclamation mark, cut out in the dark of the table.
    const QColor ink(0x21, 0x22, 0x23);
    painter.setBrush(ink);
    const qreal stroke = size / 8.0;
    const qreal x = (size - stroke) / 2;
    painter.drawRoundedRect(QRectF(x, size * 0.2, stroke, size * 0.4), stroke / 2, stroke / 2);
    painter.drawEllipse(QRectF(x, size * 0.7, stroke, stroke));
    return pixmap;
}

void NewNameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int mark = index.data(MarkRole).toInt();
    if (mark == NoMark) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    paintBackground(painter, option, index);
    const QRect area = contentArea(option);
    if (area.width() <= MarkSize)
        return;
    const QColor color = markColor(mark);
    const QRect markRect(area.left(), area.center().y() - MarkSize / 2 + 1, MarkSize, MarkSize);
    painter->drawPixmap(markRect.topLeft(), markPixmap(color, MarkSize, painter->device()->devicePixelRatioF()));

    const QRect textRect = area.adjusted(MarkSize + MarkGap, 0, 0, 0);
    QTextOption text(Qt::AlignLeft | Qt::AlignVCenter);
    text.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter->save();
    painter->setClipRect(textRect);
    // The font the unmarked cells are drawn in.
    painter->setFont(item.font);
    painter->setPen(color);
    painter->drawText(QRectF(textRect), item.text, text);
    painter->restore();
}
