#pragma once
#include <QWidget>
#include <memory>

class ChmFile;
class QTextBrowser;
class QTreeWidget;

// The program's own help window, for a desktop without a viewer of .chm files: the table
// of contents on the left, the pages of the help file in a text browser on the right.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    // Reads the help file; isOpen() tells whether it could.
    explicit HelpWindow(const QString &helpFile, QWidget *parent = nullptr);
    ~HelpWindow() override;

    bool isOpen() const;
    QTextBrowser *browser() const { return m_browser; }
    QTreeWidget *contents() const { return m_contents; }
    void showPage(const QString &page);

private:
    void fillContents();

    std::unique_ptr<ChmFile> m_file;
    QTextBrowser *m_browser = nullptr;
    QTreeWidget *m_contents = nullptr;
};
