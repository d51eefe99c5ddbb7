#pragma once
#include <QWidget>

class FileListBox;
class PictureView;
class QComboBox;
class QPushButton;

// The tab "图片资料": the picture view above, the list of the folder's "*.jpg" files
// below it, and the buttons "Add" and "Load" at the bottom right. It only lays the
// controls out; PictureArchive gives them their behaviour.
class PictureTab : public QWidget
{
    Q_OBJECT
public:
    explicit PictureTab(QWidget *parent = nullptr);

    PictureView *view() const { return m_view; }
    FileListBox *fileList() const { return m_fileList; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *loadButton() const { return m_loadButton; }

signals:
    // The tab came to the front (it was shown by the program, not by the window system).
    void tabShown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    PictureView *m_view;
    FileListBox *m_fileList;
    QComboBox *m_filter;
    QPushButton *m_addButton;
    QPushButton *m_loadButton;
};
