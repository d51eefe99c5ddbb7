#pragma once
#include <QString>

typedef struct pg_conn PGconn;

// Moving one desktop's picture folders (data/images/<number>-<name>) to the ward's server,
// inside the import's transaction.
namespace pictureimport {

struct Counts
{
    int folders = 0;
    int files = 0;
    qint64 bytes = 0;
};

// Locks the server's picture tables for the transaction and refuses a ward that holds
// pictures already, or was set up before it kept pictures.
void checkEmpty(PGconn *connection);

// Copies every folder directly in the images folder with every file in it (files in deeper
// folders are no pictures of the tab and stay behind). A missing images folder copies nothing.
Counts copyFolders(PGconn *connection, const QString &imagesFolder);

// Refuses when the server's folders, files or bytes differ from those copied.
void checkCounts(PGconn *connection, const Counts &copied);

} // namespace pictureimport
