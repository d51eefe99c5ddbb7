#pragma once
#include <QString>
#include <optional>

class QWidget;

// The main window's one save-file dialog (SaveDialog1), shared by the backup command
// and the document window's save: no filter, no default extension, and it opens
// with the name last chosen in it by either command.
class SaveFileDialog
{
public:
    std::optional<QString> execute(QWidget *parent);
    QString fileName() const { return m_fileName; }

    // Opens with a proposed name in the folder of the last chosen file (a bare name
    // without one). The choice is not remembered as the name the backup and the
    // document's save open with, so that a plain OK there never writes onto it.
    std::optional<QString> executeProposing(QWidget *parent, const QString &proposedName);

private:
    QString m_fileName;
};
