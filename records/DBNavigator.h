#pragma once
#include <QWidget>
#include <array>
#include <functional>

class QPushButton;
class RecordSession;

// The record navigator: ten buttons by kind, of which only post and cancel show.
// Post and cancel are usable only while the record is being edited.
class DBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Kind { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kindCount = 10;

    DBNavigator(RecordSession *session, QWidget *parent = nullptr);

    QPushButton *button(Kind kind) const { return m_buttons[kind]; }
    // Runs before the pressed button acts (the shared before-action handler).
    void setBeforeAction(std::function<void(Kind)> handler) { m_beforeAction = std::move(handler); }
    // Presses a button as the user would.
    void press(Kind kind);

private:
    void updateButtons();

    RecordSession *m_session;
    std::array<QPushButton *, kindCount> m_buttons{};
    std::function<void(Kind)> m_beforeAction;
};
