#include "records/DBCheckBox.h"

DBCheckBox::DBCheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent)
{
    setTristate(true);
    connect(this, &QCheckBox::clicked, this, [this] {
        userChanged(checkState() == Qt::Checked ? QStringLiteral("True") : QStringLiteral("False"));
    });
}

Qt::CheckState DBCheckBox::stateOf(const QString &stored)
{
    if (stored.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return Qt::Checked;
    if (stored.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

void DBCheckBox::showValue()
{
    m_showing = true;
    setCheckState(stateOf(session()->value(column())));
    m_showing = false;
}

void DBCheckBox::nextCheckState()
{
    // Ticked becomes clear; clear and greyed become ticked. The user never makes a box greyed.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
