#pragma once
#include <QList>
#include <QPointer>
#include <QWidget>

class QCheckBox;

// The symptom picker "症状输入": 49 symptom ticks in seven columns. "Post" writes the
// ticked names, joined by "、", into the edit of the present-illness window that asked
// for it (text::shared().symptomTarget) and hides the picker. It is a plain top-level
// window: showing or closing it leaves the main window as it is, and closing only
// hides it, so the ticks stay for the next use.
class TSymptoms : public QWidget
{
    Q_OBJECT
public:
    TSymptoms();

    // The window whose edits (Edit1, Edit2, Edit3, Edit4, Edit14) receive the text;
    // the present-illness window sets itself here.
    void setTargetWindow(QWidget *window);

    // Shows the picker in front, as it was left.
    void showPicker();

    // The text "Post" writes for the ticks as they are now.
    QString symptomText() const;

private:
    void Button9Click();

    QList<QCheckBox *> m_boxes; // in the order the text is written: column by column
    QPointer<QWidget> m_target;
};
