#pragma once

class DBNavigator;
class FieldFactory;
class QLabel;
class QString;
class QWidget;
class RecordSession;

// The tab sheets of the main window that hold record controls. Each returns the
// sheet, named as the window names it, with every control placed and bound.
namespace tabsheets {

QWidget *admissionRecord(const FieldFactory &fields, RecordSession *session);  // TabSheet5 "入院记录"
QWidget *examinationLeft(const FieldFactory &fields, RecordSession *session);  // TabSheet6 "体格检查"
QWidget *examinationRight(const FieldFactory &fields);                         // TabSheet2 "体格检查"
QWidget *diagnosis(const FieldFactory &fields, RecordSession *session);        // TabSheet8 "辅检诊断"
QWidget *firstCourse(const FieldFactory &fields, RecordSession *session);      // TabSheet11 "首次病程"

// A sheet's title label, centred and set larger.
QLabel *title(const QString &objectName, const QString &caption, QWidget *sheet, int y);

// A navigator named objectName, placed at x, y on the sheet.
DBNavigator *navigator(const char *objectName, RecordSession *session, QWidget *sheet, int x, int y);

} // namespace tabsheets
