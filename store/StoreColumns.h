#pragma once
#include "store/PatientStoreInterface.h"

#include <QStringList>
#include <functional>
#include <vector>

// What a store needs to know of the forms, handed to it by its caller: every column name
// in column-table order, the columns of the patient list in their order of display (the
// bed first), and the rule that puts the list in bed order (when empty, the store's own).
struct StoreColumns
{
    QStringList names;
    QStringList listNames;
    std::function<void(std::vector<ListRow> &)> orderList;
};
