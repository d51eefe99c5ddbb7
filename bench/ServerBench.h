#pragma once
#include <QString>

// quillcase-bench --server <connection> [N]: the same synthetic records moved to a fresh
// database on that PostgreSQL server, then the list, making a record current, a post, and
// twenty doctors posting at once. Returns the exit code.
int runServerBench(const QString &connection, qint64 count, int concurrentSeconds);
