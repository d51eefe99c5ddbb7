#include "builders/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this)), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(6, 2, 6, 2);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const int perColumn = (int(items.size()) + qMax(1, columns) - 1) / qMax(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        m_buttons << button;
        // Items fill the first column top to bottom, then the next one.
        grid->addWidget(button, i % qMax(1, perColumn), i / qMax(1, perColumn));
    }
    m_layout->addLayout(grid);
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        m_buttons[index]->setChecked(true);
        return;
    }
    // An exclusive group never lets its last chosen button go; lift that for a moment.
    m_group->setExclusive(false);
    for (QRadioButton *button : m_buttons)
        button->setChecked(false);
    m_group->setExclusive(true);
}

void RadioGroup::addBesideItems(QWidget *widget, int stretch)
{
    widget->setParent(this);
    m_layout->addWidget(widget, stretch);
}
