#pragma once
#include "app/DataLocation.h"

#include <QString>
#include <memory>

class InputMethodBinding;
class InputMethodService;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TFormHistory;
class TSymptoms;

// The program's ten windows, created once in their fixed order and kept until the end
// of the run, with the connections between them.
class ApplicationWindows
{
public:
    // Builds every window; throws Error when the database cannot be opened.
    explicit ApplicationWindows(const DataLocation &location);
    // The portable form: the data folder data/ under the application folder.
    explicit ApplicationWindows(const QString &applicationFolder);
    ~ApplicationWindows();

    TForm1 *form1() const { return m_form1.get(); }
    TForm2 *form2() const { return m_form2.get(); }
    TForm3 *form3() const { return m_form3.get(); }
    TForm4 *form4() const { return m_form4.get(); }
    TForm5 *form5() const { return m_form5.get(); }
    TSymptoms *symptoms() const { return m_symptoms.get(); }
    TForm7 *form7() const { return m_form7.get(); }
    TForm8 *form8() const { return m_form8.get(); }
    TForm9 *form9() const { return m_form9.get(); }
    TForm10 *form10() const { return m_form10.get(); }
    TFormHistory *formHistory() const { return m_formHistory.get(); }

private:
    void connectWindows();
    void openBuilder(const QString &builderClass);

    std::unique_ptr<InputMethodService> m_inputMethods;
    std::unique_ptr<InputMethodBinding> m_inputMethodBinding;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TSymptoms> m_symptoms;
    std::unique_ptr<TForm7> m_form7;
    std::unique_ptr<TForm8> m_form8;
    std::unique_ptr<TForm9> m_form9;
    std::unique_ptr<TForm10> m_form10;
    std::unique_ptr<TFormHistory> m_formHistory;
};
