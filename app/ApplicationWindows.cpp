#include "app/ApplicationWindows.h"
#include "app/TForm1.h"
#include "app/PhraseWiring.h"
#include "app/TForm8.h"

ApplicationWindows::ApplicationWindows(const QString &applicationFolder)
    : m_form1(std::make_unique<TForm1>(applicationFolder)), m_form8(std::make_unique<TForm8>())
{
    connectWindows();
}

ApplicationWindows::~ApplicationWindows() = default;

void ApplicationWindows::connectWindows()
{
    connectPhraseLibrary(*m_form1, [](const QString &) {
        // The builder windows are connected here as they are added.
    });
    TForm8 *about = m_form8.get();
    m_form1->showAbout = [about] { about->showOverMainWindow(); };
}
