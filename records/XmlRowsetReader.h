#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// Reads a rowset written in the ADO XML persisted-recordset layout (as the XML backup and
// its trail file are): the column names from the schema, then one row at a time. A row's
// values are in schema order; a value the row leaves out is nullopt. A file that is not
// such a rowset, is cut short or names an attribute the schema does not hold throws Error
// with the place and the reason.
namespace xmlrowset {

using Row = std::vector<std::optional<QString>>;

void read(const QString &path, const std::function<void(const QStringList &columns)> &onSchema,
          const std::function<void(const Row &row)> &onRow);

} // namespace xmlrowset
