#pragma once
#include <QStringList>

// The column names a store keeps, handed to it by its caller so that the store needs no
// knowledge of the forms: every column in column-table order, and the columns of the
// patient list in their order of display (the bed first).
struct StoreColumns
{
    QStringList names;
    QStringList listNames;
};
