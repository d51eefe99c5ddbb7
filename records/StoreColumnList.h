#pragma once
#include "records/ColumnTable.h"
#include "store/StoreColumns.h"

// The column names of the column table in the form the stores take them.
inline StoreColumns storeColumnList()
{
    StoreColumns result;
    for (const Column &column : columns::all())
        result.names << QString::fromUtf8(column.name);
    result.listNames = columns::listColumns();
    return result;
}
