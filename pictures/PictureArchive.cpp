#include "pictures/PictureArchive.h"

#include "pictures/FileCopy.h"
#include "pictures/PictureFolder.h"
#include "pictures/PictureTab.h"
#include "pictures/PictureView.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/FileListBox.h"
#include "text/Error.h"
#include "text/Reasons.h"
#include "text/SharedValues.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <cerrno>
#include <sys/stat.h>

PictureArchive::PictureArchive(QWidget *root, PictureTab *tab, QObject *parent)
    : QObject(parent), m_root(root), m_tab(tab)
{
    connect(tab->addButton(), &QPushButton::clicked, this, &PictureArchive::Button1Click);
    connect(tab->loadButton(), &QPushButton::clicked, this, &PictureArchive::Button3Click);
    connect(tab->fileList(), &FileListBox::itemSelectionChanged, this, &PictureArchive::FileListBox2Click);
    connect(tab, &PictureTab::tabShown, this, &PictureArchive::TabSheet12Show);
}

QLineEdit *PictureArchive::box(const char *objectName) const
{
    auto *edit = m_root->findChild<QLineEdit *>(QString::fromLatin1(objectName));
    if (!edit)
        throw Error(QStringLiteral("找不到输入框 %1").arg(QString::fromLatin1(objectName)));
    return edit;
}

QString PictureArchive::admissionNumber() const
{
    return box("DBEdit5")->text();
}

QString PictureArchive::patientName() const
{
    return box("DBEdit2")->text();
}

void PictureArchive::ShowPatientPictures()
{
    runHandler([this] { showPatientPictures(); });
}

void PictureArchive::showPatientPictures()
{
    const QString id = admissionNumber();
    const QString name = patientName();
    std::optional<QString> folder;
    if (!pictures::keyMissing(id, name))
        folder = pictures::existingFolder(pictures::pictureRoot(), id, name);
    m_tab->fileList()->setDirectory(folder ? *folder : text::shared().applicationFolder);
}

void PictureArchive::TabSheet12Show()
{
    runHandler([this] {
        // Number and name are not tested for emptiness here: only the folder's existence counts.
        if (const auto folder =
                pictures::existingFolder(pictures::pictureRoot(), admissionNumber(), patientName()))
            m_tab->fileList()->setDirectory(*folder);
    });
}

void PictureArchive::Button1Click()
{
    runHandler([this] { addPicture(); });
}

void PictureArchive::addPicture()
{
    const QString id = admissionNumber();
    const QString name = patientName();
    if (pictures::keyMissing(id, name)) {
        Dialogs::current().information(pictures::missingKeyMessage);
        return;
    }

    const QString folder = pictures::folderPath(pictures::pictureRoot(), id, name);
    if (!QFileInfo(folder).isDir()) {
        // One level only: the picture root itself must already be there. A patient's
        // folder is for its owner alone.
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
            throw Error(QStringLiteral("无法建立图片文件夹“%1”：%2").arg(folder, text::systemReason(errno)));
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }

    const std::optional<QString> chosen = Dialogs::current().openPictureFileName(m_tab);
    if (!chosen || chosen->isEmpty())
        return; // the folder made above stays, empty

    const QString target = folder + QLatin1Char('/') + QFileInfo(*chosen).fileName();
    // A picture of that name is already there: it stays, and nothing is said.
    if (!QFileInfo::exists(target))
        pictures::copyFile(*chosen, target);

    m_tab->fileList()->setDirectory(folder);
}

void PictureArchive::Button3Click()
{
    runHandler([this] {
        if (pictures::keyMissing(admissionNumber(), patientName())) {
            Dialogs::current().information(pictures::missingKeyMessage);
            return;
        }
        showPatientPictures();
    });
}

void PictureArchive::FileListBox2Click()
{
    runHandler([this] {
        const QString path = m_tab->fileList()->filePath();
        if (!path.isEmpty())
            m_tab->view()->loadPicture(path);
    });
}

void PictureArchive::patientListClicked()
{
    runHandler([this] {
        showPatientPictures();
        m_tab->view()->clear();
    });
}
