#include "app/ApplicationWindows.h"
#include "app/PhraseWiring.h"
#include "app/TForm1.h"
#include "app/TForm8.h"
#include "builders/TForm10.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "builders/TForm5.h"
#include "builders/TSymptoms.h"
#include "documents/AdmissionRecordCommand.h"
#include "documents/TForm2.h"
#include "documents/TForm7.h"
#include "options/InputMethodBinding.h"
#include "options/InputMethodFields.h"
#include "options/InputMethodService.h"
#include "options/TForm9.h"
#include "phrases/TemplateEditor.h"
#include "records/TFormHistory.h"

ApplicationWindows::ApplicationWindows(const QString &applicationFolder)
    : ApplicationWindows(portableLocation(applicationFolder))
{
}

ApplicationWindows::ApplicationWindows(const DataLocation &location)
    : m_inputMethods(InputMethodService::detect()),
      m_inputMethodBinding(std::make_unique<InputMethodBinding>(m_inputMethods.get()))
{
    // The main window first (the database opens while it is built), then the others in their order.
    m_form1 = std::make_unique<TForm1>(location);
    RecordSession *session = m_form1->session();
    TemplateEditor *templates = m_form1->templateEditor();
    m_form2 = std::make_unique<TForm2>(session, m_form1->saveDialog1());
    m_form3 = std::make_unique<TForm3>(session, nullptr);
    m_form4 = std::make_unique<TForm4>(session);
    m_form5 = std::make_unique<TForm5>(session, [templates] { templates->OpenPhraseFolder(); });
    m_symptoms = std::make_unique<TSymptoms>();
    m_form3->setSymptoms(m_symptoms.get());
    m_form7 = std::make_unique<TForm7>(m_form1->saveDialog1(), m_form2.get());
    m_form8 = std::make_unique<TForm8>();
    TForm1 *form1 = m_form1.get();
    m_form9 = std::make_unique<TForm9>(m_inputMethods.get(), [form1] { return inputmethods::inputMethodFields(form1); });
    m_form10 = std::make_unique<TForm10>(session);
    m_formHistory = std::make_unique<TFormHistory>(session);
    connectWindows();
}

ApplicationWindows::~ApplicationWindows()
{
    // The windows that read the main window's session go before it, in reverse order.
    m_formHistory.reset();
    m_form10.reset();
    m_form9.reset();
    m_form8.reset();
    m_form7.reset();
    m_symptoms.reset();
    m_form5.reset();
    m_form4.reset();
    m_form3.reset();
    m_form2.reset();
    m_form1.reset();
}

void ApplicationWindows::openBuilder(const QString &builderClass)
{
    if (builderClass == QLatin1String("TForm3"))
        m_form3->showOverMainWindow();
    else if (builderClass == QLatin1String("TForm4"))
        m_form4->showOverMainWindow();
    else if (builderClass == QLatin1String("TForm10"))
        m_form10->showOverMainWindow();
    else if (builderClass == QLatin1String("TForm5"))
        m_form5->showOverMainWindow();
}

void ApplicationWindows::connectWindows()
{
    TForm1 *form1 = m_form1.get();
    TForm7 *form7 = m_form7.get();
    TForm8 *about = m_form8.get();
    TForm9 *options = m_form9.get();
    connectPhraseLibrary(*form1, [this](const QString &builderClass) { openBuilder(builderClass); });
    form1->generate = [form1, form7] { documents::generateAdmissionRecord(form1, form1->session(), form7); };
    form1->showAbout = [about] { about->showOverMainWindow(); };
    form1->showOptions = [options] { options->showOverMainWindow(); };
    TFormHistory *history = m_formHistory.get();
    form1->showHistory = [history] { history->showForCurrentRecord(); };
    inputmethods::bindInputMethodFields(form1, *m_inputMethodBinding);
}
