#pragma once
#include <QString>
#include <memory>

class TForm1;
class TForm8;

// The program's windows, created once in their fixed order and kept until the end of
// the run, with the connections between them.
class ApplicationWindows
{
public:
    // Builds every window; throws Error when the database cannot be opened.
    explicit ApplicationWindows(const QString &applicationFolder);
    ~ApplicationWindows();

    TForm1 *form1() const { return m_form1.get(); }
    TForm8 *form8() const { return m_form8.get(); }

private:
    void connectWindows();

    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm8> m_form8;
};
