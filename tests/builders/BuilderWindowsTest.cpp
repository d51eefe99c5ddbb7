#include "BuilderWindowTest.h"
#include "builders/TForm10.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "builders/TForm5.h"
#include "builders/TSymptoms.h"

#include <QAbstractButton>
#include <QLabel>

// What the four builders opened from the main window share: shown over a disabled main
// window, closed (by the close box) to hidden with the main window enabled again, and
// every caption shown whole at the window's first size.
TEST_F(BuilderWindowTest, BuildersDisableTheMainWindowWhileShownAndShowEveryCaptionWhole)
{
    TSymptoms symptoms;
    TForm3 presentIllness(m_session.get(), &symptoms);
    TForm4 pastHistory(m_session.get());
    TForm10 personalHistory(m_session.get());
    TForm5 examination(m_session.get(), {});
    for (SecondaryWindow *window : std::initializer_list<SecondaryWindow *>{&presentIllness, &pastHistory,
                                                                            &personalHistory, &examination}) {
        const std::string name = window->objectName().toStdString();
        window->showOverMainWindow();
        EXPECT_TRUE(window->isVisible()) << name;
        EXPECT_FALSE(m_main.isEnabled()) << name;
        for (const QLabel *label : window->findChildren<QLabel *>())
            EXPECT_GE(label->width(), label->sizeHint().width())
                << name << " " << label->objectName().toStdString();
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
            EXPECT_GE(button->width(), button->sizeHint().width())
                << name << " " << button->text().toStdString();
        window->close();
        EXPECT_FALSE(window->isVisible()) << name;
        EXPECT_TRUE(m_main.isEnabled()) << name;
    }
    symptoms.showPicker();
    for (const QAbstractButton *button : symptoms.findChildren<QAbstractButton *>())
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
}
