#include "records/DBNavigator.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>

DBNavigator::DBNavigator(RecordSession *session, QWidget *parent) : QWidget(parent), m_session(session)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int kind = 0; kind < kindCount; ++kind) {
        auto *button = new QPushButton(this);
        button->setProperty("navigatorKind", kind);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setVisible(kind == Post || kind == Cancel);
        layout->addWidget(button);
        m_buttons[kind] = button;
        connect(button, &QPushButton::clicked, this, [this, kind] { press(Kind(kind)); });
    }
    m_buttons[Post]->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_buttons[Cancel]->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(session, &RecordSession::stateChanged, this, &DBNavigator::updateButtons);
    connect(session, &RecordSession::currentChanged, this, &DBNavigator::updateButtons);
    updateButtons();
}

void DBNavigator::press(Kind kind)
{
    if ((kind == Post || kind == Cancel) && !m_session->isEditing())
        return;
    runHandler([this, kind] {
        if (m_beforeAction)
            m_beforeAction(kind);
        if (kind == Post)
            m_session->post();
        else if (kind == Cancel)
            m_session->cancel();
    });
}

void DBNavigator::updateButtons()
{
    const bool editing = m_session->isEditing();
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
}
