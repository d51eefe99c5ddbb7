#include "app/StoreChoice.h"

#include <QDir>
#include <QFile>

namespace storechoice {

QString connectionFromConf(const QString &confText)
{
    bool inServer = false;
    QString found;
    for (QString line : confText.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inServer = line.mid(1, line.size() - 2)
                           .trimmed()
                           .compare(QLatin1String("server"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inServer || equals < 0)
            continue;
        if (line.left(equals).trimmed().compare(QLatin1String("connection"), Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2).trimmed();
        found = value; // the last one written wins, as in any INI reader
    }
    return found;
}

Choice decide(const QString &environment, const QString &configured)
{
    for (const QString &candidate : {environment.trimmed(), configured.trimmed()})
        if (!candidate.isEmpty())
            return Choice{true, candidate};
    return Choice{};
}

Choice forDataFolder(const QString &dataFolder)
{
    QFile conf(QDir(dataFolder).filePath(QString::fromLatin1(confFileName)));
    QString configured;
    if (conf.open(QIODevice::ReadOnly))
        configured = connectionFromConf(QString::fromUtf8(conf.readAll()));
    return decide(qEnvironmentVariable(environmentVariable), configured);
}

} // namespace storechoice
