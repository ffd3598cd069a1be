#pragma once
// What the fuzz targets share: a check that stops the run on a broken promise (libFuzzer keeps
// the input), the input as bytes or UTF-8 text, and the scene list set-up of the reader targets
// (a matching table, an empty library and code table, and questions answered and recorded).
#include "scenelist/AssetQuery.h"
#include "scenelist/CodeConversionTable.h"
#include "scenelist/LibraryIndex.h"
#include "scenelist/SceneMatcher.h"
#include "support/AnsweringPrompts.h"

#include <cstdint>
#include <cstdlib>

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

inline QString inputText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
}

struct SceneListHarness
{
    explicit SceneListHarness(const QString &table)
    {
        Prompts::install(&prompts);
        options.table = MatchingTable::fromText(table);
    }
    AnsweringPrompts prompts;
    LibraryIndex library;
    CodeConversionTable codes;
    AssetQuery query;
    SceneListOptions options;
};
