#pragma once
#include "records/ColumnTable.h"
#include "records/PatientStoreOrder.h"
#include "store/StoreColumns.h"

// The column names of the column table and the bed order of the list, in the form the
// stores take them.
inline StoreColumns storeColumnList()
{
    StoreColumns result;
    for (const Column &column : columns::all())
        result.names << QString::fromUtf8(column.name);
    result.listNames = columns::listColumns();
    result.orderList = storeorder::sortByBed;
    return result;
}
