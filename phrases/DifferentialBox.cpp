#include "phrases/DifferentialBox.h"
#include "phrases/DropDownComboBox.h"
#include "phrases/Sections.h"
#include "phrases/TemplateEditor.h"
#include "records/ErrorBox.h"
#include "text/PhraseFile.h"
#include "text/SharedValues.h"

DifferentialBox::DifferentialBox(DropDownComboBox *box, TemplateEditor *editor, QObject *parent)
    : QObject(parent), m_box(box), m_editor(editor)
{
    connect(m_box, &DropDownComboBox::droppingDown, this, &DifferentialBox::ComboBox4DropDown);
    connect(m_box, &DropDownComboBox::chosen, this, &DifferentialBox::ComboBox4Select);
}

void DifferentialBox::ComboBox4DropDown()
{
    runHandler([this] {
        if (m_editor)
            m_editor->OpenPhraseFolder();
        const QStringList names =
            text::readPhraseLines(text::shared().dataFolder() + QStringLiteral("differential.txt"));
        // The box's text is the doctor's last choice; refreshing the list keeps it.
        const QString shown = m_box->currentText();
        m_box->clear();
        m_box->addItems(names);
        m_box->setCurrentIndex(-1);
        m_box->setEditText(shown);
    });
}

void DifferentialBox::ComboBox4Select(int index)
{
    runHandler([this, index] {
        const QString name = m_box->itemText(index);
        if (m_editor)
            m_editor->OpenPhraseFolder();
        const QStringList lines =
            text::readPhraseLines(text::shared().dataFolder() + QStringLiteral("differentials.txt"));
        const QString section = phrases::sectionText(lines, name);
        if (m_receiver)
            m_receiver(section);
    });
}
