#include "records/SaveFileDialog.h"
#include "records/Dialogs.h"

#include <QFileInfo>

std::optional<QString> SaveFileDialog::execute(QWidget *parent)
{
    const std::optional<QString> chosen = Dialogs::current().saveFileName(parent, m_fileName);
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}

std::optional<QString> SaveFileDialog::executeProposing(QWidget *parent, const QString &proposedName)
{
    QString initial = proposedName;
    if (!m_fileName.isEmpty())
        initial = QFileInfo(m_fileName).absolutePath() + QLatin1Char('/') + proposedName;
    return Dialogs::current().saveFileName(parent, initial);
}
