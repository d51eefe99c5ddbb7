#pragma once
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <functional>

#include <QWidget>

// What every bound control shares: the session it reads from and writes to, the
// column it shows, and a guard so that showing a value is never taken for a change.
class FieldBinding
{
public:
    RecordSession *session() const { return m_session; }
    int column() const { return m_column; }
    bool isBound() const { return m_session != nullptr && m_column >= 0; }

protected:
    // Connects the control to the session: it reads again whenever another record
    // becomes current or code fills its column.
    template <class Control> void bindControl(Control *control, RecordSession *session, int column)
    {
        m_session = session;
        m_column = column;
        m_restore = [control] { control->showValue(); };
        QObject::connect(session, &RecordSession::currentChanged, control, [control] { control->showValue(); });
        QObject::connect(session, &RecordSession::valueChanged, control, [control, column](int changed) {
            if (changed == column)
                control->showValue();
        });
        control->showValue();
    }

    // Hands a text the user typed or picked to the session. When the session refuses it
    // (an archived record), the error box says why and the control shows the stored text again.
    void userChanged(const QString &text)
    {
        if (m_showing || !isBound())
            return;
        if (!runHandler([&] { m_session->userChange(m_column, text); }) && m_restore)
            m_restore();
    }

    bool m_showing = false; // set while a stored value is being shown

private:
    RecordSession *m_session = nullptr;
    int m_column = -1;
    std::function<void()> m_restore;
};
