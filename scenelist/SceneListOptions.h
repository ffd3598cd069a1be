#pragma once
// A snapshot of the Create Scene panel's values that the matching rules, the library scan and
// the readers read. The panel fills one from its widgets before each operation; nothing here
// is read from a widget while the operation runs.
//
// Example (the panel's side, at "Load Scene List"):
//     SceneListOptions o;
//     o.table = MatchingTable::fromText(tableConfig->saveToText(), inactiveRowsText());
//     o.sceneListType = cbSceneListType->currentIndex();
//     o.sceneListPath = pb_selectSceneList->resolvedPath();
//     o.libraryFolders = itemTexts(lwLibDir);
//     o.production = productionValues();
//     ... then m_core.load(o, &progress);
#include "scenelist/MatchingTable.h"
#include "support/ProductionValues.h"

#include <QString>
#include <QStringList>

// The job itself (efTBJob) is ProductionValues::job.
struct HarmonyOptions
{
    bool onlineMode = false;                         // ckTBOnlineMode
    QString server = QStringLiteral("server_tb");    // efTBServer
    QString scenePath = QStringLiteral("server_tb"); // efTBScenePath
};

// cbTarget entries.
enum SceneTarget { TargetFlash = 0, Target3DsMax = 1, TargetCollect = 2, TargetHarmony = 3 };

struct SceneListOptions
{
    MatchingTable table;   // the Assets Matching Table, switched-off rows included
    int sceneListType = 0; // cbSceneListType: 0 list file, 1 directory
    QString sceneListPath; // resolvedPath of pb_selectSceneList (file or directory)
    QString inputExtension = QStringLiteral("mov");     // efCreaInputExt
    int target = TargetFlash;                           // cbTarget
    QString destinationDir;                             // resolvedPath of pbSelectDestinationDir
    QStringList libraryFolders;                         // the items of lwLibDir, as typed
    int libraryRecursion = 0;                           // cbLibraryFolderRecursion index (3 = full)
    int csvStartLine = 2;                               // sbCsvStartLine
    QString csvSeparator = QStringLiteral(";");         // cbCsvSeparator text
    QString csvSheetName = QStringLiteral("1");         // efCsvSheetName
    bool splitCellOnSpace = false;                      // ckCsvSplitCellOnSpace
    bool skipComments = true;                           // ckCsvSkipComments
    bool fishModeCancel = false;                        // ckFishModeCancel
    QString productionName = QStringLiteral("No Name"); // efProductionName
    HarmonyOptions harmony;
    ProductionValues production; // %e %n %x %y %z, and %j the Harmony job (efTBJob)

    bool isFromSPI() const { return sceneListType == 0; }
};
