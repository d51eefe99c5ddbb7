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

private:
    QString m_fileName;
};
