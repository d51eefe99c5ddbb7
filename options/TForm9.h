#pragma once
#include "records/SecondaryWindow.h"

#include <QList>
#include <functional>

class DropDownComboBox;
class InputMethodService;
class QLabel;
class QPushButton;

// The Options dialog: the input method of the main window's Chinese entry fields and
// the department name shown in the printed report's header. Both last for the run
// only. The input-method box's text reaches the fields when the dialog closes,
// whichever way it is closed; the department changes only when an item is chosen.
class TForm9 : public SecondaryWindow
{
    Q_OBJECT
public:
    // The fields are looked up at every close, so the dialog may be built before the
    // main window's fields exist. The service is not owned and may be null (then the
    // input-method list stays empty).
    TForm9(InputMethodService *service, std::function<QList<QWidget *>()> fields);

    DropDownComboBox *comboBox7() const { return m_comboBox7; }
    DropDownComboBox *comboBox1() const { return m_comboBox1; }
    QPushButton *button2() const { return m_button2; }

    void ComboBox7DropDown();
    void ComboBox1Select(int index);
    void Button2Click();

protected:
    void onClose() override; // FormClose

private:
    InputMethodService *m_service;
    std::function<QList<QWidget *>()> m_fields;
    QLabel *m_label12 = nullptr;
    QLabel *m_label1 = nullptr;
    DropDownComboBox *m_comboBox7 = nullptr;
    DropDownComboBox *m_comboBox1 = nullptr;
    QPushButton *m_button2 = nullptr;
};
