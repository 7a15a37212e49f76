#pragma once

#include <Qt>

// Data roles the list tables keep on their items.
namespace TableRole {
enum : int {
    Id = Qt::UserRole + 1,      // the row record's id
    SortKey = Qt::UserRole + 2, // the text CustormTabelItem orders by
    Suffix = Qt::UserRole + 3,  // the item's own extension, kept when a proposed name is edited
    Success = Qt::UserRole + 4, // the status of a status cell (EntryStatus)
};
}
