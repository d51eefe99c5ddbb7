#pragma once
#include <QString>
#include <ostream>

// Lets GoogleTest show composed texts readably when a comparison fails.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
