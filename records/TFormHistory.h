#pragma once
#include "records/ChangeTrail.h"
#include "records/SecondaryWindow.h"

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTextBrowser;
class RecordSession;

// The modification trail of the current record: every change, newest first, with its time,
// operator, field and the old and new text with the changed part marked; a filter by field
// and an export of the list to PDF. It reads the trail and never changes anything.
class TFormHistory : public SecondaryWindow
{
    Q_OBJECT
public:
    explicit TFormHistory(RecordSession *session);

    // Reads the current record's trail, shows it and disables the main window.
    void showForCurrentRecord();
    // Reads the trail again and shows the list (no window shown).
    void reload();
    // Writes the list as it is shown (with its filter) to a PDF file, owner-only.
    void exportPdf(const QString &path) const;

    // The field the list is filtered to; empty for every field.
    QString filterColumn() const;
    void setFilterColumn(const QString &columnName);
    // The rich text the list shows now.
    QString shownHtml() const { return m_shownHtml; }

private:
    void render();
    void exportClicked();

    RecordSession *m_session;
    std::vector<TrailEntry> m_entries;
    QString m_heading;
    QString m_shownHtml;
    QLabel *m_caption = nullptr;
    QComboBox *m_filter = nullptr;
    QTextBrowser *m_list = nullptr;
};
