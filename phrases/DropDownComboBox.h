#pragma once
#include <QComboBox>

// An editable drop-down box that tells when its list is about to drop down, and
// reports only those activations that come from choosing in the list (mouse or keys
// in the popup, Up and Down in the closed box). A text typed into the box and ended
// with Return or by leaving the box is no choice, even when it matches an item.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DropDownComboBox(QWidget *parent = nullptr);

    void showPopup() override;

signals:
    // Emitted before the list drops down, so its items can be read again first.
    void droppingDown();
    // The user chose the item at index from the list.
    void chosen(int index);

private:
    bool m_typing = false; // set while the edit field handles a key or loses focus
};
