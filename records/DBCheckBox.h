#pragma once
#include "records/FieldBinding.h"

#include <QCheckBox>

// A tick bound to a flag column: "True" (any letter case) shows ticked, "False"
// shows clear, anything else greyed. A greyed box becomes ticked when clicked.
class DBCheckBox : public QCheckBox, public FieldBinding
{
    Q_OBJECT
public:
    explicit DBCheckBox(const QString &caption, QWidget *parent = nullptr);
    void bind(RecordSession *session, int column) { bindControl(this, session, column); }
    void showValue();

    static Qt::CheckState stateOf(const QString &stored);

protected:
    void nextCheckState() override;
};
