#include "app/TForm1.h"
#include "app/FieldFactory.h"
#include "app/FirstCourseCommand.h"
#include "app/HelpFile.h"
#include "app/MainLayout.h"
#include "app/PicturesAtStart.h"
#include "app/StoreAtStart.h"
#include "app/SurfaceDrag.h"
#include "app/TabSheets.h"
#include "app/WardCommands.h"
#include "phrases/TemplateEditor.h"
#include "phrases/TemplateEditorTab.h"
#include "pictures/PictureArchive.h"
#include "pictures/PictureTab.h"
#include "records/ColumnTable.h"
#include "records/Compaction.h"
#include "records/DatabaseAtStart.h"
#include "records/DBCtrlGrid.h"
#include "records/DBEdit.h"
#include "records/DBNavigator.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/InterfaceFont.h"
#include "records/ListRefresh.h"
#include "records/Passphrase.h"
#include "records/PatientStore.h"
#include "records/RecordCommands.h"
#include "records/RecordSession.h"
#include "records/Restore.h"
#include "records/SafetyCopier.h"
#include "records/ScreenFit.h"
#include "records/SecondaryWindow.h"
#include "records/TrailCommands.h"
#include "text/Clock.h"
#include "text/Error.h"
#include "text/SharedValues.h"
#include "ward/WardStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace {
const QColor silver(192, 192, 192);
const QColor buttonFace(236, 233, 216);

const char *const navigatorCaptions[DBNavigator::kindCount] = {"首笔", "上笔", "下笔", "末笔", "新增",
                                                                "删除", "修改", "存档", "取消", "刷新"};
} // namespace

TForm1::TForm1(const DataLocation &location)
{
    setObjectName(QStringLiteral("Form1"));
    // The database lives in the data folder, or on the ward's server its settings name.
    m_store = startup::openStore(location.dataFolder);
    m_session = std::make_unique<RecordSession>(m_store.get());
    m_session->open();
    // Records other desktops of the ward store show in the list.
    m_listRefresh = std::make_unique<ListRefresh>(m_session.get());
    // Once at start: trail times would run backwards with a clock set back.
    trailcommands::warnIfClockBehind(*m_store, Dialogs::current(), text::currentDateTime());
    // Safety copies are copies of the file; the ward's server is backed up by its administrator.
    if (auto *file = dynamic_cast<PatientStore *>(m_store.get()))
        m_safetyCopier = std::make_unique<SafetyCopier>(file, restore::backupsFolder(location.dataFolder));

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, silver);
    // While a secondary window is in front the main window is disabled; its fields and
    // labels stay as readable as when it is enabled instead of turning grey on silver.
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    setPalette(palette);
    setFont(interfaceFont());

    buildMenu();
    buildPages();
    connectRecordCommands();
    SecondaryWindow::setMainWindow(this);
    FormCreate(location);
    if (QScreen *screen = this->screen())
        fitInto(screen->availableGeometry());
}

void TForm1::fitInto(const QRect &available)
{
    screenfit::fitWindow(this, available, mainlayout::designedClient + QSize(0, menuBar()->sizeHint().height()));
    m_normalSize = size();
}

bool TForm1::isMaximised() const
{
    return windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A single fixed border: the frame cannot be dragged to another size, while
    // maximising still works. A size the window system gives outside the maximised
    // state is taken back at once.
    if (!isMaximised() && m_normalSize.isValid() && event->size() != m_normalSize)
        QTimer::singleShot(0, this, [this] {
            if (!isMaximised() && size() != m_normalSize)
                resize(m_normalSize);
        });
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMaximised() && m_normalSize.isValid())
        resize(m_normalSize);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(const DataLocation &location)
{
    // The application title. No display name is set: the platform would append it to every
    // window title, and each window's title is exactly its caption.
    QApplication::setApplicationName(QStringLiteral("Quillcase"));
    text::shared().captionText = QStringLiteral("Quillcase BetaVersion-0.03.8");
    setWindowTitle(text::shared().captionText);
    text::shared().applicationFolder = location.applicationFolder;
    text::shared().dataFolderPath = location.dataFolder;
    text::shared().helpFilePath = location.helpFile;
    auto *navigator = findChild<DBNavigator *>(QStringLiteral("DBNavigator1"));
    for (int kind = 0; kind < DBNavigator::kindCount; ++kind)
        navigator->button(DBNavigator::Kind(kind))->setText(QString::fromUtf8(navigatorCaptions[kind]));
}

QAction *TForm1::menuItem(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut,
                       void (TForm1::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        if (handler)
            connect(action, &QAction::triggered, this, [this, handler] { runHandler([this, handler] { (this->*handler)(); }); });
        return action;
    };
    QMenu *file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    item(file, "N3", QStringLiteral("新建"), QKeySequence(Qt::CTRL | Qt::Key_N), &TForm1::N3Click);
    item(file, "N4", QStringLiteral("保存"), QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::N4Click);
    item(file, "N6", QStringLiteral("删除"), QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::N6Click);
    item(file, "N5", QStringLiteral("-------------"), QKeySequence(), nullptr);
    item(file, "N8", QStringLiteral("备份至文件"), QKeySequence(Qt::CTRL | Qt::Key_B), &TForm1::N8Click);
    item(file, "N9", QStringLiteral("由文件恢复"), QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::N9Click);
    item(file, "N7", QStringLiteral("-------------"), QKeySequence(), nullptr);
    item(file, "Exit1", QStringLiteral("退出"), QKeySequence(Qt::CTRL | Qt::Key_Q), &TForm1::Exit1Click);

    QMenu *tools = bar->addMenu(QStringLiteral("工具(&T)"));
    tools->setObjectName(QStringLiteral("Tools1"));
    QAction *generateItem = item(tools, "Generate1", QStringLiteral("病历生成 （&Generate）"),
                                 QKeySequence(Qt::CTRL | Qt::Key_G), nullptr);
    connect(generateItem, &QAction::triggered, this, [this] {
        if (generate)
            runHandler(generate);
    });
    QAction *compact = item(tools, "N2", QStringLiteral("压缩病历资料库并退出程序"), QKeySequence(), &TForm1::N2Click);
    compact->setVisible(false);
    QAction *options = item(tools, "Options1", QStringLiteral("选项     （&Options）"),
                            QKeySequence(Qt::CTRL | Qt::Key_O), nullptr);
    connect(options, &QAction::triggered, this, [this] {
        if (showOptions)
            runHandler(showOptions);
    });
    item(tools, "Signature1", QStringLiteral("医师签名…"), QKeySequence(), &TForm1::Signature1Click);
    QAction *history = item(tools, "History1", QStringLiteral("修改痕迹…"), QKeySequence(), nullptr);
    connect(history, &QAction::triggered, this, [this] {
        if (showHistory)
            runHandler(showHistory);
    });
    item(tools, "Archive1", QStringLiteral("归档…"), QKeySequence(), &TForm1::Archive1Click);
    item(tools, "Unarchive1", QStringLiteral("取消归档…"), QKeySequence(), &TForm1::Unarchive1Click);
    // The database's own passphrase: the last item of the tools menu.
    item(tools, "Passphrase1", QStringLiteral("设置数据库口令…"), QKeySequence(), &TForm1::Passphrase1Click);

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction *about = item(help, "About1", QStringLiteral("关于"), QKeySequence(), nullptr);
    connect(about, &QAction::triggered, this, [this] {
        if (showAbout)
            runHandler(showAbout);
    });
    item(help, "N1", QStringLiteral("帮助"), QKeySequence(Qt::CTRL | Qt::Key_H), &TForm1::N1Click);

    // "退出(&Q)" is an item of the menu bar itself.
    QAction *quit = bar->addAction(QStringLiteral("退出(&Q)"));
    quit->setObjectName(QStringLiteral("N10"));
    connect(quit, &QAction::triggered, this, [this] { runHandler([this] { Exit1Click(); }); });
    // Shortcuts work in the main window whichever of its controls has the focus, and not
    // while another window is in front (the main window is disabled then anyway).
    for (QAction *action : findChildren<QAction *>())
        addAction(action);
}

void TForm1::buildPages()
{
    // The client surface scrolls where the screen is too small for it and grows with
    // the window when it is maximised.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ClientScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *surface = new SurfaceDrag;
    surface->setObjectName(QStringLiteral("ClientSurface"));
    surface->setMinimumSize(mainlayout::designedClient);
    scroll->setWidget(surface);
    setCentralWidget(scroll);

    FieldFactory fields(m_session.get());
    m_pageControl2 = new QTabWidget(surface);
    m_pageControl2->setObjectName(QStringLiteral("PageControl2"));
    m_pageControl2->setGeometry(2, 2, 494, 678);
    m_pageControl2->addTab(tabsheets::admissionRecord(fields, m_session.get()), QStringLiteral("入院记录"));
    m_pageControl2->addTab(tabsheets::examinationLeft(fields, m_session.get()), QStringLiteral("体格检查"));
    m_pageControl2->addTab(tabsheets::diagnosis(fields, m_session.get()), QStringLiteral("辅检诊断"));
    m_pageControl2->addTab(tabsheets::firstCourse(fields, m_session.get()), QStringLiteral("首次病程"));
    auto *pictures = new PictureTab;
    m_pageControl2->addTab(pictures, QStringLiteral("图片资料"));

    m_pageControl1 = new QTabWidget(surface);
    m_pageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl1->setGeometry(498, 2, 431, 678);
    auto *patients = new QWidget;
    patients->setObjectName(QStringLiteral("TabSheet1"));
    auto *grid = new DBCtrlGrid(m_session.get(), patients);
    grid->move(2, 2);
    // The pictures are kept where the records are: the desktop's folders or the ward's server.
    auto *archive = new PictureArchive(
        this, pictures, startup::openPictures(m_store.get(), [this] { return m_store.get(); }), this);
    // The list's click shows the newly current patient's pictures.
    connect(grid, &DBCtrlGrid::clicked, archive, &PictureArchive::patientListClicked);
    m_pageControl1->addTab(patients, QStringLiteral("病人管理"));
    m_pageControl1->addTab(tabsheets::examinationRight(fields), QStringLiteral("体格检查"));
    auto *templates = new TemplateEditorTab;
    m_pageControl1->addTab(templates, TemplateEditorTab::caption());
    m_templateEditor = new TemplateEditor(templates, this);

    for (QTabWidget *pages : {m_pageControl1, m_pageControl2}) {
        for (int i = 0; i < pages->count(); ++i) {
            QWidget *sheet = pages->widget(i);
            sheet->setAutoFillBackground(true);
            QPalette palette = sheet->palette();
            palette.setColor(QPalette::Window, buttonFace);
            sheet->setPalette(palette);
        }
        pages->setCurrentIndex(0);
    }
    connect(surface, &SurfaceDrag::resized, this, [this](const QSize &size) {
        const mainlayout::PageGeometry geometry = mainlayout::pageGeometry(size);
        m_pageControl2->setGeometry(geometry.left);
        m_pageControl1->setGeometry(geometry.right);
    });
}

void TForm1::connectRecordCommands()
{
    RecordSession *session = m_session.get();
    for (const char *name : {"DBNavigator1", "DBNavigator2", "DBNavigator3"}) {
        findChild<DBNavigator *>(QString::fromLatin1(name))->setBeforeAction([session](DBNavigator::Kind kind) {
            if (kind == DBNavigator::Post || kind == DBNavigator::Cancel)
                recordcommands::copyPrincipalDiagnosis(*session);
        });
    }
    const std::pair<const char *, const char *> stamps[] = {{"DBEdit8", "DoA"}, {"DBEdit9", "DoR"}, {"DBEdit25", "tmp18"}};
    for (const auto &[control, column] : stamps) {
        const QString columnName = QString::fromLatin1(column);
        connect(findChild<DBEdit *>(QString::fromLatin1(control)), &DBEdit::doubleClicked, this,
                [session, columnName] { runHandler([&] { recordcommands::stampDateTime(*session, columnName); }); });
    }
    connect(findChild<DBEdit *>(QStringLiteral("DBEdit6")), &DBEdit::doubleClicked, this,
            [session] { runHandler([&] { recordcommands::fillDefaultBirthplace(*session); }); });
    connect(findChild<QPushButton *>(QStringLiteral("Button6")), &QPushButton::clicked, this,
            [session] { runHandler([&] { generateFirstCourse(*session); }); });
    // The list's diagnosis cell shares nothing with the birthplace box: its double-click
    // changes no column.
}

void TForm1::N3Click()
{
    recordcommands::newRecord(*m_session, Dialogs::current());
}

void TForm1::N4Click()
{
    recordcommands::save(*m_session);
}

void TForm1::N6Click()
{
    recordcommands::deleteRecord(Dialogs::current());
}

void TForm1::N8Click()
{
    const std::optional<QString> path = m_saveDialog1.execute(this);
    if (!path)
        return;
    m_session->settle();
    m_store->backup(*path);
}

namespace {
QString onServer(const char *what)
{
    return QStringLiteral("病区服务器模式下请由病区管理员%1").arg(QString::fromUtf8(what));
}
} // namespace

PatientStore &TForm1::fileStore(const QString &serverRefusal) const
{
    if (auto *file = dynamic_cast<PatientStore *>(m_store.get()))
        return *file;
    throw Error(serverRefusal);
}

void TForm1::N9Click()
{
    if (auto *ward = dynamic_cast<WardStore *>(m_store.get())) {
        wardcommands::restore(*ward, *m_session, Dialogs::current(), this, text::shared().dataFolder(),
                              onServer("恢复病历资料（本角色不是病区管理员）"));
        return;
    }
    PatientStore &file = fileStore(onServer("在服务器上恢复病历资料"));
    Dialogs &dialogs = Dialogs::current();
    const QString dataFolder = text::shared().dataFolder();
    const QString backups = restore::backupsFolder(dataFolder);
    const std::optional<QString> path =
        dialogs.openBackupFileName(this, QFileInfo(backups).isDir() ? backups : dataFolder);
    if (!path)
        return;
    const std::optional<BackupSummary> backup = restore::checkAsking(*path, file.key(), dialogs);
    if (!backup || !dialogs.confirm(backupcheck::restoreQuestion(*backup)))
        return;
    // The record being edited goes into the database that is kept as .bak.
    m_session->settle();
    restore::PreparedRestore prepared(dataFolder, *backup, file.key());
    m_safetyCopier.reset();
    m_session->detach();
    m_store.reset();
    // From here on the program ends, as after compaction: it must start again on the new file.
    const bool restored = runHandler([&] { prepared.commit(text::currentDateTime()); });
    if (restored)
        dialogs.information(QStringLiteral("恢复成功，请重新启动程序。"));
    endRun();
}

void TForm1::Passphrase1Click()
{
    PatientStore &file = fileStore(onServer("在服务器上管理医师的账户和密码，病区服务器没有数据库口令"));
    m_session->settle();
    // A copy in progress reads through the connection the new key replaces.
    m_safetyCopier->discard();
    passphrase::changeAsking(file, Dialogs::current());
}

void TForm1::N2Click()
{
    if (auto *server = dynamic_cast<ServerStore *>(m_store.get())) {
        // A doctor is refused and the run goes on; an administrator's VACUUM ends it.
        if (wardcommands::compact(*server, *m_session, Dialogs::current(),
                                  onServer("整理病历资料库（VACUUM）（本角色不是病区管理员）")))
            endRun();
        return;
    }
    PatientStore &file = fileStore(onServer("在服务器上整理病历资料库（VACUUM）"));
    // The record being edited is stored first instead of being lost with the connection.
    const bool settled = runHandler([this] { m_session->settle(); });
    if (settled) {
        const QByteArray key = file.key();
        m_safetyCopier.reset();
        m_session->detach();
        m_store.reset();
        const bool compacted = runHandler([&key] {
            compactDatabase(text::shared().dataFolder(), text::currentDateTime(), key);
        });
        if (compacted)
            Dialogs::current().information(QStringLiteral("操作成功"));
    }
    // Compaction ends the run in every case.
    endRun();
}

void TForm1::endRun()
{
    m_ending = true;
    close();
    QApplication::quit();
}

void TForm1::N1Click()
{
    // The desktop's viewer when there is one, else the program's own help window; a missing
    // file shows nothing.
    help::openHelpFile(text::shared().helpFile(), this);
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::Signature1Click()
{
    trailcommands::setSignature(*m_store, Dialogs::current());
}

void TForm1::Archive1Click()
{
    trailcommands::archive(*m_session, Dialogs::current());
}

void TForm1::Unarchive1Click()
{
    trailcommands::unarchive(*m_session, Dialogs::current());
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_ending || !m_session) {
        event->accept();
        return;
    }
    if (!recordcommands::closePrompt(*m_session, Dialogs::current())) {
        event->ignore();
        return;
    }
    event->accept();
    // The safety copy of this run is finished now, or given up: closing never waits long.
    if (m_safetyCopier)
        runHandler([this] { m_safetyCopier->finish(SafetyCopier::closingBudgetMs); });
}
