#include "records/FileListBox.h"

#include <QDir>
#include <QRegularExpression>

FileListBox::FileListBox(const QString &mask, QWidget *parent) : QListWidget(parent), m_mask(mask)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setDirectory(const QString &folder)
{
    m_directory = QDir::cleanPath(folder);
    m_entriesGiven = false;
    update();
}

void FileListBox::setEntries(const QString &folder, const QStringList &names)
{
    m_directory = folder;
    m_entriesGiven = true;
    clear();
    addItems(names);
}

void FileListBox::update()
{
    if (m_entriesGiven)
        return;
    clear();
    if (m_directory.isEmpty())
        return;
    QDir dir(m_directory);
    dir.setFilter(QDir::Files); // ordinary files only: no folders, no hidden files
    dir.setNameFilters({m_mask});
    dir.setSorting(QDir::Name | (m_caseInsensitive ? QDir::IgnoreCase : QDir::SortFlags()));
    QStringList names;
    const QFileInfoList infos = dir.entryInfoList();
    for (const QFileInfo &info : infos)
        names << info.fileName();
    if (!m_caseInsensitive) {
        // QDir matches name filters without regard to case; keep only exact matches.
        const QRegularExpression exact(
            QRegularExpression::wildcardToRegularExpression(m_mask, QRegularExpression::UnanchoredWildcardConversion),
            QRegularExpression::NoPatternOption);
        names = names.filter(exact);
    }
    names.sort(m_caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    addItems(names);
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QString FileListBox::filePath() const
{
    const QString name = fileName();
    return name.isEmpty() ? QString() : m_directory + QLatin1Char('/') + name;
}
