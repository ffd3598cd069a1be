#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

// The text of Qt's INI settings files, read and written by our own code so that a caller can
// check every byte of a write (see ConfigurationFiles). The syntax is the one QSettings writes:
// "[General]" first, keys percent-escaped, values with Qt's escapes and its "@Type(...)" forms.
// Keys are written in name order, section by section, where QSettings keeps the order in which
// they were first set; either side reads the other's files to the same keys and values.
//
// Example: {"cbColorSet": 2, "Grp/sub/k ey": "v;w"} is written as
//   [General]
//   cbColorSet=2
//
//   [Grp]
//   sub\k%20ey="v;w"
// and read back into the same two keys, "2" as a string (INI files keep no integer type).
//
// Two differences on hostile input, where Qt's own code would fail: an "@Variant(...)" value of
// a container or picture type (lists, maps, images, regions) reads as no value, since a forged
// element count there makes Qt allocate without bound; and so does a time stamp in a time zone
// Qt does not know, which Qt's writer crashes on. Settings never store such values.
class IniText
{
public:
    using Map = QMap<QString, QVariant>;

    static QByteArray write(const Map &map);
    // Reads every key it can: lines it cannot make sense of are skipped, as Qt does.
    static Map read(const QByteArray &data);
};
