#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace store {

// Where one run of Lumo finds its files.
struct BookFolders {
    QString program;   // the running program's folder; the autostart entry names rmd here
    QString data;      // the book rmd.mdb, wbwj/ and backups/
    QString resources; // read-only files: templates, recordings, help, default picture, seed
    bool portable = true;

    QString book() const;
    QString backups() const;
};

// A program folder that holds rmd.mdb (even a write-protected one) is the
// whole application folder, as a build or a copied folder always was.
BookFolders portableFolders(const QString& programFolder);

struct BookPlace {
    BookFolders folders;
    QString problem;   // a Chinese message naming the path; empty when the book is there
    bool lost = false; // the book's folder is there, its book is not: a restore may fill it
};

// The one rule every reader and writer of the book follows. Otherwise the
// book lives in $XDG_DATA_HOME/lumo (~/.local/share/lumo): only a folder
// that does not exist yet is made, from the installed seed; an existing one
// without its book is a lost book, never silently replaced by a fresh one.
BookPlace
locateBook(const QString& programFolder,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The installed read-only files, relative to the private program folder.
QString installedResources(const QString& programFolder);

} // namespace store
