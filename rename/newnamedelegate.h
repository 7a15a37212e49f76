#pragma once

#include "filelist/widgetcelldelegate.h"

#include <QColor>
#include <QHash>

class QLabel;

// Draws the proposed-name cells of a rename list. A proposal the rename job will not give as it stands carries
// a mark in MarkRole: the cell then shows a small round mark and its text in the mark's colour (amber:
// resolution changes it or it will fail on a taken name; red: the name is refused), the colour the stylesheet
// gives QLabel#conflictNameLabel for the mark's "Conflict" value. What happens is told by the item's tooltip.
class NewNameDelegate : public WidgetCellDelegate
{
    Q_OBJECT
public:
    // Item data role of the mark: 0 or absent none, 1 conflict, 2 refused, 3 a note on how it was made.
    static constexpr int MarkRole = Qt::UserRole + 16;
    enum Mark { NoMark = 0, ConflictMark = 1, RefusedMark = 2, NoteMark = 3 };

    explicit NewNameDelegate(QWidget *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The colour the stylesheet gives a mark.
    QColor markColor(int mark) const;
    // The round mark alone, as the cells and the count line show it.
    static QPixmap markPixmap(const QColor &color, int size, qreal ratio);

private:
    QLabel *m_label;
    mutable QHash<int, QColor> m_colors;
};
