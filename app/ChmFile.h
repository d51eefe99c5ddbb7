#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

struct chmFile;

// A compiled help file (.chm) opened read-only with libchm.
class ChmFile
{
public:
    explicit ChmFile(const QString &path);
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // The bytes of one object of the file ("/index.html"); empty when there is none.
    QByteArray read(const QString &objectPath) const;
    // The page shown first and the table of contents, as the project named them.
    QString defaultTopic() const { return m_defaultTopic; }
    QString contentsFile() const { return m_contentsFile; }

private:
    void readSystemFile();

    chmFile *m_file = nullptr;
    QString m_defaultTopic;
    QString m_contentsFile;
};
