#pragma once
// The scene list readers: each turns its input into scenes and elements through the matching
// rules.
//  - CSV: records split with the list's separator, dispatched from the start line on.
//  - XML Spreadsheet 2003: rows from the fifth on; spreadsheet column i feeds table row i,
//    column 0 names the scene; the first all-empty row ends the sheet.
//  - A directory: one scene per file of the given extension, named after the file.
//  - Bridge files (".filelist"): each file address becomes an element of the table row that
//    takes that file type from the list file, and its folder joins the library folder list.
//  - Harmony: one scene per scene name of the job.
//
// Example: a CSV "hdr\nhdr\n010;bob\n" with start line 2 and table rows Scene (%a) on column
// A and Asset on column B gives the scene "010" with the element "bob". A last line without a
// line break is read as any other; a file that is not UTF-8 is read as Windows-1252 with a
// -WAR- line.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class LoadProgress;
class SceneMatcher;

class SceneListReader
{
public:
    // `matcher` is not owned; it holds the options and the tree.
    explicit SceneListReader(SceneMatcher &matcher);

    // The library folder list as the panel shows it; ReadFileList appends new folders.
    void setLibraryFolders(const QStringList &folders) { m_libraryFolders = folders; }
    QStringList libraryFolders() const { return m_libraryFolders; }
    // The folders ReadFileList added, in order (each once).
    QStringList addedLibraryFolders() const { return m_addedFolders; }

    bool ReadCsvSceneList(const QString &path, LoadProgress *progress);
    bool readCsvBytes(const QByteArray &bytes, LoadProgress *progress,
                      const QString &source = QString());
    bool ReadXmlSceneList(const QString &path);
    bool readXmlBytes(const QByteArray &bytes);
    bool LoadFromDirectory(const QString &directory, const QString &extension);
    bool ReadFileList(const QString &path);
    bool readFileListBytes(const QByteArray &bytes);
    bool LoadSceneNames(const QStringList &names);
    // Rows of cells from another reader (a workbook sheet), dispatched as a CSV's records.
    bool readRows(const QList<QStringList> &rows, LoadProgress *progress);

    // The folders the bridge files of a directory name that `known` lacks, in order, each
    // once: they join the library before it is collected, so that the first load finds their
    // files. Nothing for another extension than "filelist".
    static QStringList bridgeFileFolders(const QString &directory, const QString &extension,
                                         const QStringList &known);

    // The text of a scene list file: UTF-8, or Windows-1252 when the bytes are not UTF-8
    // (*fallback set).
    static QString decodeText(const QByteArray &bytes, bool *fallback);

private:
    void addLibraryFolder(const QString &folder);

    SceneMatcher &m_matcher;
    QStringList m_libraryFolders;
    QStringList m_addedFolders;
};
