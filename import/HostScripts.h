#pragma once
// The host script texts of the scene import: the composition prefix, the PSD and AEP column
// imports and the precomposition. Scripts find the scene composition again by its name, kept
// in the variable _CurCompName that the prefix defines.
//
// Every path and name is inserted as the contents of a single-quoted JavaScript string, so a
// name like  Bob's "BG"  arrives as 'Bob\'s "BG"' and can neither end the string early nor
// add code to the script; the rest of each text is fixed.
//
// Example: precomposeScript(layerIndexList(1, 2), "BG") ends with
//   c.layers.precompose([1,2],'BG',true);
#include <QString>
#include <QStringList>

// `text` as the contents of a single-quoted JavaScript string literal: backslash, single quote
// and line terminators escaped, everything else kept.
QString jsStringContents(const QString &text);

// `text` as the contents of a single-quoted JavaScript string literal written in ASCII only:
// as jsStringContents, and every other character outside printable ASCII as \uXXXX, so the
// text arrives whole whatever encoding the host reads the script in ("Scène" gives
// "Sc\u00e8ne").
QString jsAsciiStringContents(const QString &text);

// "var _CurCompName='<name>';<script>"
QString compNamePrefix(const QString &compName, const QString &script);
// Imports a Photoshop file as a composition and adds it as a layer of the current composition.
QString psdColumnScript(const QString &path);
// Imports a project's items into the open project (no layer).
QString aepColumnScript(const QString &path);
// "$.evalFile('<path>');": the host reads and runs the script file itself, so the script
// knows its own file ($.fileName) and a compiled .jsxbin file is decoded by the host.
QString evalFileScript(const QString &path);
// "[first,first+1,...]" for count layers; "[]" for a count below 1.
QString layerIndexList(int first, int count);
// Moves the listed layers of the current composition into a new composition `name`.
QString precomposeScript(const QString &indexList, const QString &name);

// Whether a script list entry is a batch script: its file name (after the last "/" or "\")
// begins with "BATCH", whatever the case.
bool isBatchScript(const QString &entry);
// The batch scripts of a script list, white space simplified, empty entries dropped, in order.
QStringList batchScripts(const QStringList &entries);
