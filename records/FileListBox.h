#pragma once
#include <QListWidget>

// A list of the files of one folder that match a mask ("*.txt", "*.jpg"), sorted by
// name. Only ordinary files are listed: no folders, no hidden files. The mask may
// match regardless of letter case, so a camera's ".JPG" shows under "*.jpg".
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(const QString &mask, QWidget *parent = nullptr);

    void setCaseInsensitive(bool on) { m_caseInsensitive = on; }
    // Points the list at a folder and reads it again, also when it shows that folder already.
    void setDirectory(const QString &folder);
    // Shows the given names, in their order, as the files of a folder this desktop does not
    // hold (the ward's server); directory() is that folder's name and update() keeps them.
    void setEntries(const QString &folder, const QStringList &names);
    // Reads the current folder again.
    void update();
    // The folder shown, without a trailing separator.
    QString directory() const { return m_directory; }
    QString mask() const { return m_mask; }
    // The selected file's name (no folder), empty when none is selected.
    QString fileName() const;
    // The selected file's full path (folder, one separator, name), empty when none is selected.
    QString filePath() const;

private:
    QString m_mask;
    QString m_directory;
    bool m_caseInsensitive = false;
    bool m_entriesGiven = false;
};
