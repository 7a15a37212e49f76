#include "custormtabelitem.h"

#include "tableroles.h"

bool CustormTabelItem::operator<(const QTableWidgetItem &other) const
{
    return other.data(TableRole::SortKey).toString() < data(TableRole::SortKey).toString();
}
