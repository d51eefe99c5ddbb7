#pragma once
#include <QObject>
#include <QString>
#include <functional>

class DropDownComboBox;
class TemplateEditor;

// The differential-diagnosis box (ComboBox4): its list is read again from
// differential.txt each time it drops down, and choosing a name hands the name's
// section of differentials.txt to a receiver, as memo text (each line followed by
// CR LF; empty when the name has no section). The receiver writes it into the record.
class DifferentialBox : public QObject
{
    Q_OBJECT
public:
    using SectionReceiver = std::function<void(const QString &sectionText)>;

    // The editor, when given, re-reads its file list before each reading, as every
    // reader of the data folder does.
    DifferentialBox(DropDownComboBox *box, TemplateEditor *editor, QObject *parent = nullptr);

    DropDownComboBox *box() const { return m_box; }
    void setSectionReceiver(SectionReceiver receiver) { m_receiver = std::move(receiver); }

    // Event handlers; errors go to the error box. On an unreadable differential.txt the
    // list keeps its items; on an unreadable differentials.txt the receiver is not called.
    void ComboBox4DropDown();
    void ComboBox4Select(int index);

private:
    DropDownComboBox *m_box;
    TemplateEditor *m_editor;
    SectionReceiver m_receiver;
};
