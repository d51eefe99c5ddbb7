#include "pictures/PictureArchive.h"

#include "pictures/DesktopPictures.h"
#include "pictures/PictureFolder.h"
#include "pictures/PictureTab.h"
#include "pictures/PictureView.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/FileListBox.h"
#include "text/Error.h"
#include "text/SharedValues.h"

#include <QLineEdit>
#include <QPushButton>

PictureArchive::PictureArchive(QWidget *root, PictureTab *tab, QObject *parent)
    : PictureArchive(root, tab, std::make_unique<DesktopPictures>(), parent)
{}

PictureArchive::PictureArchive(QWidget *root, PictureTab *tab, std::unique_ptr<PicturePlace> place,
                               QObject *parent)
    : QObject(parent), m_root(root), m_tab(tab), m_place(std::move(place)),
      m_desktop(std::make_unique<DesktopPictures>())
{
    connect(tab->addButton(), &QPushButton::clicked, this, &PictureArchive::Button1Click);
    connect(tab->loadButton(), &QPushButton::clicked, this, &PictureArchive::Button3Click);
    connect(tab->fileList(), &FileListBox::itemSelectionChanged, this, &PictureArchive::FileListBox2Click);
    connect(tab, &PictureTab::tabShown, this, &PictureArchive::TabSheet12Show);
}

PictureArchive::~PictureArchive() = default;

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

void PictureArchive::showFolder(PicturePlace *place, const QString &folder)
{
    m_shown = place;
    place->showFolder(*m_tab->fileList(), folder);
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
        folder = m_place->existingFolder(id, name);
    if (folder)
        showFolder(m_place.get(), *folder);
    else
        showFolder(m_desktop.get(), text::shared().applicationFolder);
}

void PictureArchive::TabSheet12Show()
{
    runHandler([this] {
        // Number and name are not tested for emptiness here: only the folder's existence counts.
        if (const auto folder = m_place->existingFolder(admissionNumber(), patientName()))
            showFolder(m_place.get(), *folder);
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

    const QString folder = m_place->makeFolder(id, name);

    const std::optional<QString> chosen = Dialogs::current().openPictureFileName(m_tab);
    if (!chosen || chosen->isEmpty())
        return; // the folder made above stays, empty

    m_place->addPicture(folder, *chosen);
    showFolder(m_place.get(), folder);
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
        const FileListBox *list = m_tab->fileList();
        const QString fileName = list->fileName();
        // A list pointed at a folder by other means shows one of the desktop's.
        PicturePlace *place = m_shown ? m_shown : m_desktop.get();
        if (!fileName.isEmpty())
            place->showPicture(*m_tab->view(), list->directory(), fileName);
    });
}

void PictureArchive::patientListClicked()
{
    runHandler([this] {
        showPatientPictures();
        m_tab->view()->clear();
    });
}
