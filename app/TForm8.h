#pragma once
#include "records/SecondaryWindow.h"

class QLabel;

// The About window "自由软件": the version line, the authors' contact and a short introduction.
class TForm8 : public SecondaryWindow
{
    Q_OBJECT
public:
    TForm8();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_label1 = nullptr;
};
