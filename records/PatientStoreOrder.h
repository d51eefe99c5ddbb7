#pragma once
#include "records/PatientStore.h"

#include <QString>
#include <vector>

// The order of the patient list by bed. A bed that is one or more decimal digits and
// nothing else is a number: numbers come first, by value (2 before 10, of any length);
// then every other text (empty, "加1", " 3", "12a") by its characters in code-point order.
// Equal numbers written differently ("2", "02") are ordered by their text.
namespace storeorder {

// Negative, zero or positive as bed `a` comes before, with or after bed `b`.
int compareBeds(const QString &a, const QString &b);

// Puts the rows of the patient list in bed order (values[0] is the bed), equal beds by row id.
void sortByBed(std::vector<ListRow> &rows);

} // namespace storeorder
