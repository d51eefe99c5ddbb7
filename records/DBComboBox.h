#pragma once
#include "records/FieldBinding.h"

#include <QComboBox>

// An editable drop-down box bound to a column: the user may pick an offered item or
// type any text.
class DBComboBox : public QComboBox, public FieldBinding
{
    Q_OBJECT
public:
    explicit DBComboBox(QWidget *parent = nullptr);
    void bind(RecordSession *session, int column) { bindControl(this, session, column); }
    void showValue();

signals:
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
