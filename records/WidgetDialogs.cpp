#include "records/WidgetDialogs.h"
#include "records/TFormLogin.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QPixmap>

namespace {
const QString applicationTitle = QStringLiteral("Quillcase");
}

namespace {
Dialogs *&installedDialogs()
{
    static Dialogs *installed = nullptr;
    return installed;
}
} // namespace

Dialogs &Dialogs::current()
{
    static WidgetDialogs real;
    Dialogs *installed = installedDialogs();
    return installed ? *installed : real;
}

void Dialogs::install(Dialogs *dialogs)
{
    installedDialogs() = dialogs;
}

void WidgetDialogs::information(const QString &text)
{
    QMessageBox::information(nullptr, applicationTitle, text, QMessageBox::Ok);
}

bool WidgetDialogs::confirm(const QString &text)
{
    // Owned by no window, as the confirmation boxes of the program always are.
    QMessageBox box(QMessageBox::Question, QStringLiteral("注意!"), text, QMessageBox::Ok | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void WidgetDialogs::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle, text, QMessageBox::Ok);
    box.exec();
}

std::optional<QString> WidgetDialogs::inputText(const QString &caption, const QString &prompt,
                                                const QString &defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<QString> WidgetDialogs::password(const QString &caption, const QString &prompt)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<QString> WidgetDialogs::openBackupFileName(QWidget *parent, const QString &folder)
{
    QFileDialog dialog(parent, QStringLiteral("由文件恢复"), folder);
    dialog.setObjectName(QStringLiteral("OpenBackupDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("所有文件 (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> WidgetDialogs::saveFileName(QWidget *parent, const QString &initialName)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Overwriting is asked about by the commands themselves where they must ask.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> WidgetDialogs::openPictureFileName(QWidget *parent)
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenPictureDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({QStringLiteral("图片文件 (%1)").arg(patterns.join(QLatin1Char(' '))),
                           QStringLiteral("所有文件 (*)")});
    // A preview of the highlighted picture beside the file list.
    auto *preview = new QLabel(&dialog);
    preview->setFixedSize(200, 200);
    preview->setAlignment(Qt::AlignCenter);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(preview, 1, 3);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
        QImageReader reader(path);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > 200 || size.height() > 200))
            reader.setScaledSize(size.scaled(200, 200, Qt::KeepAspectRatio));
        preview->setPixmap(QPixmap::fromImageReader(&reader));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> WidgetDialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return font;
}

int WidgetDialogs::choose(const QString &caption, const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Question, caption, text);
    QList<QAbstractButton *> added;
    for (const QString &button : buttons)
        added << box.addButton(button, QMessageBox::AcceptRole);
    // Escape and the close box answer -1.
    QAbstractButton *escape = box.addButton(QMessageBox::Cancel);
    escape->hide();
    box.setEscapeButton(escape);
    box.exec();
    return int(added.indexOf(box.clickedButton()));
}

std::optional<QString> WidgetDialogs::openDatabaseFileName(QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDatabaseDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("病历资料库 (Quillcase.dat *.dat)"), QStringLiteral("所有文件 (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<SignInAnswer> WidgetDialogs::signIn(const QString &server, const QString &user, const QString &message)
{
    TFormLogin form(server, user, message);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.answer();
}
