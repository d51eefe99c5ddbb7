#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// One input method as a switcher reports it: the id it is switched on by and the
// name the user sees (the id again when the switcher gives no name).
struct InputMethodEntry
{
    QString id;
    QString name;
};

// The installed input methods of one switcher, by the names the user picks from.
class InputMethodCatalog
{
public:
    InputMethodCatalog() = default;
    explicit InputMethodCatalog(const QList<InputMethodEntry> &entries);

    // The shown names, sorted, each once. Of two input methods with the same name the
    // first reported one keeps it.
    QStringList names() const { return m_names; }
    // The id of the input method shown under that name, or with that id; empty for an
    // empty name or one that no input method has.
    QString idFor(const QString &name) const;
    bool contains(const QString &name) const { return !idFor(name).isEmpty(); }
    const QList<InputMethodEntry> &entries() const { return m_entries; }

private:
    QList<InputMethodEntry> m_entries; // as reported, names filled in, ids each once
    QStringList m_names;
};
