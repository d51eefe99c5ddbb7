#pragma once
#include "records/SecondaryWindow.h"

class QAction;
class QKeySequence;
class QMenu;
class QPushButton;
class QTextEdit;
class SaveFileDialog;
class TForm2;

// The generated-document window "入院记录": the admission record in a rich-text editor
// where the doctor corrects it, saves it as RTF or sends it to the print preview. The
// text lives only here; nothing goes back to the record. Closing hides the window
// and enables the main window; the text and the chosen font stay for the next time.
class TForm7 : public SecondaryWindow
{
    Q_OBJECT
public:
    // saveDialog is the main window's shared save dialog; form2 the report the
    // preview fills. Neither is owned.
    TForm7(SaveFileDialog *saveDialog, TForm2 *form2);

    // Replaces the editor's whole content with the text (CR LF between paragraphs) in
    // the editor's font, with nothing to undo, and shows the window over the main
    // window, which is disabled until this window closes.
    void showDocument(const QString &text);

    QTextEdit *richEdit1() const { return m_richEdit1; }
    QMenu *popupMenu1() const { return m_popupMenu1; }

    void PopupMenu1Popup();          // each time the context menu opens
    void N9Click();                  // 撤销
    void N1Click();                  // 全选
    void N8Click();                  // 剪切
    void N3Click();                  // 复制
    void N5Click();                  // 粘贴
    void N4Click();                  // 字体
    void ShowCurrentPositionClick(); // 光标坐标
    void LineHeightClick();          // 行高
    void rtf1Click();                // 另存为(*.rtf) and the button "另存为"
    void N2Click();                  // 打印预览, menu item and button
    void Button2Click();             // 关闭

private:
    void buildEditor();
    void buildButtons();
    void buildPopupMenu();
    QAction *menuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut,
                      void (TForm7::*handler)());

    SaveFileDialog *m_saveDialog;
    TForm2 *m_form2;
    QTextEdit *m_richEdit1 = nullptr;
    QMenu *m_popupMenu1 = nullptr;
    QAction *m_n9 = nullptr;
};
