#pragma once
#include <QObject>
#include <QString>
#include <memory>

class PicturePlace;
class PictureTab;
class QLineEdit;
class QWidget;

// The behaviour of the tab "图片资料": each patient's pictures live in a folder named
// after the admission number and the name, read from the boxes "DBEdit5" (ID) and
// "DBEdit2" (Name) under the root widget as they stand at that moment, so unsaved
// edits count. The folders are kept where the place given keeps them (the desktop's folders
// or the ward's server); the application folder, shown when a patient has none, is always the
// desktop's. Every handler shows its errors in the standard error box.
class PictureArchive : public QObject
{
    Q_OBJECT
public:
    // Connects the tab's buttons, list and showing to the handlers below. The root and
    // the tab must outlive the archive.
    PictureArchive(QWidget *root, PictureTab *tab, QObject *parent = nullptr);
    // The same over the given place of the picture folders.
    PictureArchive(QWidget *root, PictureTab *tab, std::unique_ptr<PicturePlace> place,
                   QObject *parent = nullptr);
    ~PictureArchive() override;

    // The list shows the patient's folder when number and name are both filled in and
    // the folder exists, otherwise the application folder; either way it is re-read.
    void ShowPatientPictures();
    // The tab came to the front: the list shows the patient's folder when it exists;
    // otherwise list and view stay as they were.
    void TabSheet12Show();
    // "Add": copies a chosen picture into the patient's folder, creating the folder first.
    void Button1Click();
    // "Load": re-reads the patient's folder (or says the number or name is missing).
    void Button3Click();
    // A file chosen in the list is read into the view.
    void FileListBox2Click();
    // A click in the patient list made another patient current: show that patient's
    // folder and empty the view.
    void patientListClicked();

private:
    QLineEdit *box(const char *objectName) const;
    QString admissionNumber() const;
    QString patientName() const;
    void showPatientPictures();
    void addPicture();
    void showFolder(PicturePlace *place, const QString &folder);

    QWidget *m_root;
    PictureTab *m_tab;
    std::unique_ptr<PicturePlace> m_place;   // the patients' folders
    std::unique_ptr<PicturePlace> m_desktop; // the application folder
    PicturePlace *m_shown = nullptr;         // the place of the folder the list shows
};
