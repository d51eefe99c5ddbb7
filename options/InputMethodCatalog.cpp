#include "options/InputMethodCatalog.h"

#include <QSet>
#include <algorithm>

InputMethodCatalog::InputMethodCatalog(const QList<InputMethodEntry> &entries)
{
    QSet<QString> ids;
    QSet<QString> names;
    for (InputMethodEntry entry : entries) {
        if (entry.id.isEmpty() || ids.contains(entry.id))
            continue;
        ids.insert(entry.id);
        if (entry.name.isEmpty())
            entry.name = entry.id;
        m_entries.append(entry);
        if (!names.contains(entry.name)) {
            names.insert(entry.name);
            m_names.append(entry.name);
        }
    }
    std::sort(m_names.begin(), m_names.end());
}

QString InputMethodCatalog::idFor(const QString &name) const
{
    if (name.isEmpty())
        return {};
    for (const InputMethodEntry &entry : m_entries)
        if (entry.name == name)
            return entry.id;
    for (const InputMethodEntry &entry : m_entries)
        if (entry.id == name)
            return entry.id;
    return {};
}
