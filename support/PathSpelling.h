#pragma once

#include <QString>

// A path as it is spelled on disk. Lists, tables and users often give a name in another case
// than the file has ("SC002.MOV" for SC002.mov); a case-insensitive disk opens either, a
// case-sensitive one only the file's own spelling.
//
// Example: with /prod/Movies/SC002.mov on disk, "/prod/movies/sc002.MOV" gives
// "/prod/Movies/SC002.mov". A path that exists as given is returned unchanged (also when other
// spellings exist beside it); a path with no match on disk too.
QString spellingOnDisk(const QString &path);
