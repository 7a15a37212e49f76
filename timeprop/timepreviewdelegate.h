#pragma once

#include "filelist/widgetcelldelegate.h"

#include <QColor>

class QLabel;

// Draws the time cells of a time list. A cell whose item is to get another time shows the time the item has
// (OnDiskRole) and beneath it, in the accent colour, the time it will get (the item's text); a cell whose
// source has no time for the item shows the item's time and beneath it why (NoteRole). Other cells are
// drawn as plain text. The accent is the colour the stylesheet gives QLabel#previewTimeLabel.
class TimePreviewDelegate : public WidgetCellDelegate
{
    Q_OBJECT
public:
    static constexpr int OnDiskRole = Qt::UserRole + 20;
    static constexpr int NoteRole = Qt::UserRole + 21;

    explicit TimePreviewDelegate(QWidget *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QColor accentColor() const;

private:
    QLabel *m_label;
    mutable QColor m_accent;
};
