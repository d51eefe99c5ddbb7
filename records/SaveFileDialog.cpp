#include "records/SaveFileDialog.h"
#include "records/Dialogs.h"

std::optional<QString> SaveFileDialog::execute(QWidget *parent)
{
    const std::optional<QString> chosen = Dialogs::current().saveFileName(parent, m_fileName);
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}
