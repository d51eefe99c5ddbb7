#pragma once
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QRadioButton;

// A framed group of radio buttons of which one or none is chosen, the items laid out
// down a given number of columns. The builders read the chosen item as an index,
// -1 when none is chosen, and the group's caption as a piece of their sentences.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent = nullptr);

    int itemIndex() const;
    // Chooses an item; -1 (or any index outside the items) leaves none chosen.
    void setItemIndex(int index);

    int count() const { return int(m_buttons.size()); }
    QRadioButton *button(int index) const { return m_buttons.value(index); }

    // Puts a control inside the group's frame, to the right of the items.
    void addBesideItems(QWidget *widget, int stretch = 0);

private:
    QButtonGroup *m_group;
    QList<QRadioButton *> m_buttons;
    QHBoxLayout *m_layout;
};
