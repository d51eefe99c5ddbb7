#include "phrases/DropDownComboBox.h"

#include <QLineEdit>

namespace {
// The box's edit field. QComboBox turns Return and focus-out in the field into an
// activation when the typed text matches an item; the field marks the time it is
// handling those events, so such activations can be told from real choices.
class TypingLineEdit : public QLineEdit
{
public:
    TypingLineEdit(bool *typing, QWidget *parent) : QLineEdit(parent), m_typing(typing) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool was = *m_typing;
        *m_typing = true;
        QLineEdit::keyPressEvent(event);
        *m_typing = was;
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        const bool was = *m_typing;
        *m_typing = true;
        QLineEdit::focusOutEvent(event);
        *m_typing = was;
    }

private:
    bool *m_typing;
};
} // namespace

DropDownComboBox::DropDownComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setLineEdit(new TypingLineEdit(&m_typing, this));
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_typing)
            emit chosen(index);
    });
}

void DropDownComboBox::showPopup()
{
    emit droppingDown();
    QComboBox::showPopup();
}
