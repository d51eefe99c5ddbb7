#include "documents/TForm7.h"
#include "documents/DocumentEditorText.h"
#include "documents/RtfWriter.h"
#include "documents/TForm2.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/SaveFileDialog.h"
#include "text/SharedValues.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

constexpr int clientWidth = 522;
constexpr int clientHeight = 660;
constexpr int editorHeight = 633;
constexpr int buttonWidth = 80;
constexpr int buttonHeight = 25;
constexpr int buttonGap = 6;
constexpr int buttonMargin = 8;

const QString dividerCaption = QStringLiteral("------------------"); // 18 hyphens

} // namespace

TForm7::TForm7(SaveFileDialog *saveDialog, TForm2 *form2)
    : SecondaryWindow(QStringLiteral("入院记录")), m_saveDialog(saveDialog), m_form2(form2)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(clientWidth, clientHeight);
    move(24, 24);

    buildEditor();
    buildButtons();
    buildPopupMenu();
}

void TForm7::buildEditor()
{
    m_richEdit1 = new QTextEdit(this);
    m_richEdit1->setObjectName(QStringLiteral("RichEdit1"));
    m_richEdit1->setGeometry(0, 0, clientWidth, editorHeight);
    m_richEdit1->setAcceptRichText(true);
    m_richEdit1->setTabChangesFocus(true); // Tab moves to the buttons, as in the other memos
    m_richEdit1->setFrameShape(QFrame::NoFrame);
    m_richEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    m_richEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_richEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_richEdit1->viewport()->setCursor(Qt::ArrowCursor);

    // Verdana at 14 pixels; Chinese text falls back to the installed CJK font, which
    // takes the place of the GB2312 character set of the font.
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(14);
    m_richEdit1->setFont(font);

    // Silver page, black text, and a selection drawn in the same colours whether or
    // not the editor has the focus, so it stays visible while a menu or box is open.
    QPalette palette = m_richEdit1->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, QColor(192, 192, 192));
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_richEdit1->setPalette(palette);
}

void TForm7::buildButtons()
{
    // One row along the bottom edge, right-aligned: 另存为, 打印预览, 关闭.
    const int y = editorHeight + (clientHeight - editorHeight - buttonHeight) / 2;
    int x = clientWidth - buttonMargin - 3 * buttonWidth - 2 * buttonGap;
    auto button = [&](const char *name, const QString &caption, void (TForm7::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, buttonWidth, buttonHeight);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        x += buttonWidth + buttonGap;
    };
    button("Button3", QStringLiteral("另存为"), &TForm7::rtf1Click);
    button("Button1", QStringLiteral("打印预览"), &TForm7::N2Click);
    button("Button2", QStringLiteral("关闭"), &TForm7::Button2Click);
}

QAction *TForm7::menuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut,
                          void (TForm7::*handler)())
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The shortcut belongs to the editor: it acts while the editor has the focus,
        // and the same keys stay free elsewhere (the buttons, other windows).
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_richEdit1->addAction(action);
    }
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    return action;
}

void TForm7::buildPopupMenu()
{
    m_popupMenu1 = new QMenu(m_richEdit1);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

    m_n9 = menuItem(m_popupMenu1, "N9", QStringLiteral("撤销"), {}, &TForm7::N9Click);
    menuItem(m_popupMenu1, "N1", QStringLiteral("全选"), QKeySequence(Qt::CTRL | Qt::Key_A),
             &TForm7::N1Click);
    menuItem(m_popupMenu1, "N8", QStringLiteral("剪切"), QKeySequence(Qt::CTRL | Qt::Key_X),
             &TForm7::N8Click);
    menuItem(m_popupMenu1, "N3", QStringLiteral("复制"), QKeySequence(Qt::CTRL | Qt::Key_C),
             &TForm7::N3Click);
    menuItem(m_popupMenu1, "N5", QStringLiteral("粘贴"), QKeySequence(Qt::CTRL | Qt::Key_V),
             &TForm7::N5Click);
    // The dividers are ordinary items whose caption is a row of hyphens; choosing one
    // does nothing.
    menuItem(m_popupMenu1, "N7", dividerCaption, {}, nullptr);
    menuItem(m_popupMenu1, "N4", QStringLiteral("字体"), {}, &TForm7::N4Click);

    auto *n6 = new QMenu(QStringLiteral("信息"), m_popupMenu1);
    n6->setObjectName(QStringLiteral("N6"));
    m_popupMenu1->addMenu(n6);
    menuItem(n6, "ShowCurrentPosition", QStringLiteral("光标坐标"), {}, &TForm7::ShowCurrentPositionClick);
    menuItem(n6, "LineHeight", QStringLiteral("行高"), {}, &TForm7::LineHeightClick);

    menuItem(m_popupMenu1, "N10", dividerCaption, {}, nullptr);
    menuItem(m_popupMenu1, "rtf1", QStringLiteral("另存为(*.rtf)"), {}, &TForm7::rtf1Click);
    menuItem(m_popupMenu1, "N2", QStringLiteral("打印预览"), {}, &TForm7::N2Click);

    connect(m_popupMenu1, &QMenu::aboutToShow, this, &TForm7::PopupMenu1Popup);
    m_richEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_richEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        // A scroll area reports the place in its viewport's coordinates.
        m_popupMenu1->popup(m_richEdit1->viewport()->mapToGlobal(position));
    });
}

void TForm7::showDocument(const QString &text)
{
    documents::replaceDocumentText(*m_richEdit1->document(), text);
    m_richEdit1->moveCursor(QTextCursor::Start);
    m_richEdit1->ensureCursorVisible();
    showOverMainWindow();
}

void TForm7::PopupMenu1Popup()
{
    m_n9->setEnabled(m_richEdit1->document()->isUndoAvailable());
}

void TForm7::N9Click()
{
    m_richEdit1->undo();
}

void TForm7::N1Click()
{
    m_richEdit1->selectAll();
    m_richEdit1->setFocus();
}

void TForm7::N8Click()
{
    m_richEdit1->cut();
}

void TForm7::N3Click()
{
    m_richEdit1->copy();
}

void TForm7::N5Click()
{
    m_richEdit1->paste();
}

void TForm7::N4Click()
{
    // The chosen font becomes the editor's font, which is the document's default
    // format: text without a format of its own shows in it, and so does every later
    // document; the selection's own format is left alone.
    const std::optional<QFont> font = Dialogs::current().chooseFont(this, m_richEdit1->font());
    if (font)
        m_richEdit1->setFont(*font);
}

void TForm7::ShowCurrentPositionClick()
{
    const int caret = m_richEdit1->textCursor().selectionStart();
    const documents::DisplayPosition position = documents::displayPosition(*m_richEdit1->document(), caret);
    Dialogs::current().information(
        QStringLiteral("Line:%1，Column:%2").arg(position.line).arg(position.column));
}

void TForm7::LineHeightClick()
{
    Dialogs::current().information(QString::number(documents::lineHeightNumber(m_richEdit1->font())));
}

void TForm7::rtf1Click()
{
    runHandler([this] {
        const std::optional<QString> name = m_saveDialog->execute(this);
        if (!name)
            return;
        const QFileInfo target(*name);
        if (target.exists() && !target.isDir() &&
            !Dialogs::current().confirm(QStringLiteral("文件已存在,覆盖?")))
            return;
        // The name is used as chosen, with no extension added; the content is RTF.
        RtfWriter::save(*name, *m_richEdit1->document());
    });
}

void TForm7::N2Click()
{
    runHandler([this] {
        m_form2->setDepartmentCaption(text::shared().departmentName);
        // Paragraphs are taken from the document, not from the lines the window shows,
        // so the report wraps them afresh at its own width and none is cut.
        m_form2->setBodyText(documents::reportBodyText(*m_richEdit1->document()));
        m_form2->preview(this);
    });
}

void TForm7::Button2Click()
{
    close();
}
