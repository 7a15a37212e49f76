#pragma once

#include <QTableWidgetItem>

// A table item ordered by the text of its TableRole::SortKey data, larger keys first in an ascending sort.
class CustormTabelItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;

    bool operator<(const QTableWidgetItem &other) const override;
};
