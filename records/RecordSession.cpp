#include "records/RecordSession.h"
#include "records/BedNumber.h"
#include "records/ColumnTable.h"
#include "records/PatientStoreOrder.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <algorithm>

namespace {

const std::vector<int> &listColumnIndexes()
{
    static const std::vector<int> indexes = [] {
        std::vector<int> result;
        for (const QString &name : columns::listColumns())
            result.push_back(columns::indexOf(name));
        return result;
    }();
    return indexes;
}

int columnCount()
{
    return int(columns::all().size());
}

} // namespace

RecordSession::RecordSession(PatientStoreInterface *store, QObject *parent) : QObject(parent), m_store(store)
{
}

void RecordSession::open()
{
    m_rows = m_store->loadList();
    m_state = State::Browse;
    m_current = m_rows.empty() ? -1 : 0;
    loadCurrent();
    emit listChanged();
    emit stateChanged(m_state);
    emit currentChanged();
}

QString RecordSession::listValue(int row, int listColumn) const
{
    if (row < 0 || row >= rowCount())
        return QString();
    if (row == m_current)
        return m_edited.value(listColumnIndexes().at(listColumn));
    return m_rows[row].values.value(listColumn);
}

QString RecordSession::value(int column) const
{
    return m_edited.value(column);
}

QString RecordSession::value(const QString &columnName) const
{
    return value(columns::indexOf(columnName));
}

bool RecordSession::isChanged() const
{
    for (int c = 0; c < columnCount(); ++c)
        if (m_filled[c] || m_edited[c] != m_stored[c])
            return true;
    return false;
}

bool RecordSession::isArchived(int row) const
{
    return row >= 0 && row < rowCount() && m_rows[row].archived;
}

void RecordSession::checkWritable() const
{
    if (isArchived())
        throw Error(QStringLiteral("病历已归档，不能修改。"));
}

void RecordSession::setArchived(bool archived)
{
    // Settling would throw an unchanged new record away and leave another one current.
    if (m_state == State::Insert && !isChanged())
        throw Error(QStringLiteral("新病历还没有保存，不能归档。"));
    settle();
    if (m_current < 0)
        throw Error(QStringLiteral("没有选中的病历。"));
    ListRow &row = m_rows[m_current];
    if (row.archived == archived)
        return;
    m_store->setArchived(row.rowId, archived, {m_store->operatorName(), text::currentDateTime()});
    row.archived = archived;
    emit listChanged();
    emit currentChanged();
}

void RecordSession::userChange(int column, const QString &text)
{
    checkWritable();
    edit();
    m_edited[column] = text;
    emit valueChanged(column); // other controls on the same column, and the patient list
}

void RecordSession::edit()
{
    if (m_state != State::Browse)
        return;
    checkWritable();
    if (m_rows.empty()) {
        append();
        return;
    }
    setState(State::Edit);
}

void RecordSession::fill(int column, const QString &text)
{
    checkWritable();
    edit();
    m_edited[column] = text;
    m_filled[column] = true;
    emit valueChanged(column);
}

void RecordSession::fill(const QString &columnName, const QString &text)
{
    fill(columns::indexOf(columnName), text);
}

void RecordSession::append()
{
    settle();
    ListRow row;
    row.values = QStringList(int(listColumnIndexes().size()), QString());
    m_rows.push_back(row);
    m_current = rowCount() - 1;
    m_stored = QStringList(columnCount(), QString());
    m_edited = m_stored;
    m_filled.assign(columnCount(), false);
    emit listChanged();
    setState(State::Insert);
    emit currentChanged();
}

void RecordSession::post()
{
    if (m_state == State::Browse)
        return;
    QHash<int, QString> changed;
    for (int c = 0; c < columnCount(); ++c)
        if (m_filled[c] || m_edited[c] != m_stored[c])
            changed.insert(c, m_edited[c]);
    ListRow &row = m_rows[m_current];
    const TrailStamp stamp{m_store->operatorName(), text::currentDateTime()};
    if (m_state == State::Insert)
        row.rowId = m_store->insertRecord(changed, stamp); // throws: nothing changes here
    else if (!changed.isEmpty())
        m_store->updateRecord(row.rowId, changed, stamp);
    for (size_t i = 0; i < listColumnIndexes().size(); ++i)
        row.values[int(i)] = m_edited[listColumnIndexes()[i]];
    m_stored = m_edited;
    m_filled.assign(columnCount(), false);
    sortKeepingCurrent();
    setState(State::Browse);
}

void RecordSession::cancel()
{
    if (m_state == State::Browse)
        return;
    if (m_state == State::Insert) {
        m_rows.erase(m_rows.begin() + m_current);
        m_current = m_rows.empty() ? -1 : std::min(m_current, rowCount() - 1);
        m_state = State::Browse;
        loadCurrent();
        emit listChanged();
        emit stateChanged(m_state);
        emit currentChanged();
        return;
    }
    // Reading the record again shows what another desktop may have stored meanwhile.
    if (m_store) {
        loadCurrent();
    } else {
        m_edited = m_stored;
        m_filled.assign(columnCount(), false);
    }
    setState(State::Browse);
    emit currentChanged();
}

void RecordSession::settle()
{
    if (m_state == State::Browse)
        return;
    if (isChanged())
        post();
    else
        cancel();
}

void RecordSession::moveTo(int row)
{
    if (row < 0 || row >= rowCount() || (row == m_current && m_state == State::Browse))
        return;
    const qint64 target = m_rows[row].rowId;
    settle();
    // Settling may have reordered or shortened the list: find the row again by its id.
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[i].rowId == target) {
            m_current = i;
            break;
        }
    loadCurrent();
    emit currentChanged();
}

bool RecordSession::locateBed(const QString &bed)
{
    return locateOpenRecord([&bed](const QString &rowBed) { return rowBed == bed; });
}

bool RecordSession::locateBedNumber(int number)
{
    return locateOpenRecord([number](const QString &rowBed) { return bednumber::parse(rowBed) == number; });
}

bool RecordSession::locateOpenRecord(const std::function<bool(const QString &bed)> &matches)
{
    // An archived record gives its bed free for the next admission.
    settle();
    for (int i = 0; i < rowCount(); ++i)
        if (!m_rows[i].archived && matches(m_rows[i].values.value(0))) {
            if (i != m_current) {
                m_current = i;
                loadCurrent();
                emit currentChanged();
            }
            return true;
        }
    return false;
}

void RecordSession::refreshList()
{
    if (!m_store)
        return;
    std::vector<ListRow> rows = m_store->loadList();
    const bool hadCurrent = m_current >= 0;
    const ListRow current = hadCurrent ? m_rows[m_current] : ListRow{};
    const int oldIndex = m_current;
    m_rows = std::move(rows);
    m_current = -1;
    if (hadCurrent && current.rowId != 0)
        for (int i = 0; i < rowCount(); ++i)
            if (m_rows[i].rowId == current.rowId)
                m_current = i;
    if (m_state != State::Browse) {
        // The record being edited keeps its row: an appended one at the end, as after append().
        if (m_current < 0) {
            m_rows.push_back(current);
            m_current = rowCount() - 1;
        }
        if (m_state == State::Edit)
            sortKeepingCurrent();
        else
            emit listChanged();
        return;
    }
    // Browsing: the current record reads what another desktop stored; one that is gone gives
    // its place to the record now there.
    if (m_current < 0 && !m_rows.empty())
        m_current = std::clamp(oldIndex, 0, rowCount() - 1);
    loadCurrent();
    emit listChanged();
    emit currentChanged();
}

void RecordSession::detach()
{
    m_store = nullptr;
}

void RecordSession::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void RecordSession::loadCurrent()
{
    if (m_current >= 0 && m_rows[m_current].rowId != 0)
        m_stored = m_store->loadRecord(m_rows[m_current].rowId);
    else
        m_stored = QStringList(columnCount(), QString());
    m_edited = m_stored;
    m_filled.assign(columnCount(), false);
}

void RecordSession::sortKeepingCurrent()
{
    const qint64 id = m_current >= 0 ? m_rows[m_current].rowId : -1;
    // The same order the store lists them in, so a posted record sits where it will after a restart.
    storeorder::sortByBed(m_rows);
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[i].rowId == id)
            m_current = i;
    emit listChanged();
}
