#pragma once
#include "store/PatientStoreInterface.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

// The editing session over PatientsData that every bound control works on: one
// current record, the states Browse/Edit/Insert, and per column the stored value
// and the edited value. A column is changed when the two differ or when code filled
// it (a fill counts even when the text stays the same).
class RecordSession : public QObject
{
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    explicit RecordSession(PatientStoreInterface *store, QObject *parent = nullptr);

    // Loads the patient list ordered by bed and makes the first record current.
    void open();
    PatientStoreInterface *store() const { return m_store; }

    State state() const { return m_state; }
    bool isEditing() const { return m_state != State::Browse; }
    bool isEmpty() const { return m_rows.empty(); }

    // The patient list (including an appended record not yet stored).
    int rowCount() const { return int(m_rows.size()); }
    int currentRow() const { return m_current; }
    // The current record's row id; 0 for an appended record not stored yet or for none.
    qint64 currentRecordId() const { return m_current >= 0 ? m_rows[m_current].rowId : 0; }
    // A list column of a row (index into columns::listColumns()); the current row shows its edited values.
    QString listValue(int row, int listColumn) const;

    // The current record's value of a column (the edited one while editing).
    QString value(int column) const;
    QString value(const QString &columnName) const;
    bool isChanged() const;

    // Whether the current record may be changed: an archived record is read-only.
    bool isWritable() const { return !isArchived(); }
    // Every writer asks this first: throws Error("病历已归档，不能修改。") for an archived record.
    void checkWritable() const;
    bool isArchived() const { return isArchived(m_current); }
    bool isArchived(int row) const;
    // Archives or unarchives the current record, posting a record being edited first; the
    // change goes into the modification trail. Throws for an appended record that cannot be posted.
    void setArchived(bool archived);

    // A change the user made in a bound control: Browse becomes Edit (Insert on an empty table).
    // These writers refuse an archived record (see checkWritable).
    void userChange(int column, const QString &text);
    // Puts the session into Edit state (Insert when the table holds no record); no-op while editing.
    void edit();
    // Code filling a column: Edit state first, then the text; counts as a change even when equal.
    void fill(int column, const QString &text);
    void fill(const QString &columnName, const QString &text);

    // Appends a new record at the end of the list in Insert state (posting or cancelling first).
    void append();
    // Stores every changed column in one transaction and returns to Browse. On failure the
    // error is thrown and the record keeps its state and its edits.
    void post();
    // Throws the edits away; an appended record disappears.
    void cancel();
    // Leaves a record being edited: posts it when changed, cancels it otherwise.
    void settle();
    // Makes another row current, settling the record being edited first.
    void moveTo(int row);
    // Finds the record whose Bed equals the text exactly, settling first; makes it current.
    // Archived records are passed over: their bed is free again.
    bool locateBed(const QString &bed);
    // Finds the first record (in list order) whose Bed is that number in any spelling
    // ("7", "07", "+7", "７"), settling first; makes it current. Archived records are passed over.
    bool locateBedNumber(int number);

    // Forgets the store (before compaction closes it); the session is unusable afterwards.
    void detach();
    // Reads the list again (records other desktops added, changed or archived). The current
    // record stays current; one being edited or appended keeps its row and every edit and is
    // not read again, so that its post is still checked against the version it was loaded at.
    void refreshList();

signals:
    void stateChanged(RecordSession::State state);
    // Another record became current, or its values were reloaded: every bound control reads again.
    void currentChanged();
    // One column's value changed (by code or in another control): its bound controls read again.
    void valueChanged(int column);
    // Rows were added or reordered.
    void listChanged();

private:
    void setState(State state);
    // Makes the first record in list order that is not archived and whose bed matches current.
    bool locateOpenRecord(const std::function<bool(const QString &bed)> &matches);
    void loadCurrent();
    void sortKeepingCurrent();

    PatientStoreInterface *m_store;
    std::vector<ListRow> m_rows; // rowId 0 marks the appended record not yet stored
    int m_current = -1;
    State m_state = State::Browse;
    QStringList m_stored;
    QStringList m_edited;
    std::vector<bool> m_filled;
};
