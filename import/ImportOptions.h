#pragma once
// A snapshot of the import option widgets, taken by the panel before an import run. The engine
// reads only this struct, never the widgets, so it can run (and be tested) without a panel.
#include <QString>

struct ImportOptions
{
    bool newProject = true;              // ckImpNewProject
    bool useXml = false;                 // ckImpUseXml
    bool oneImaIsFixeIma = false;        // ckImpOneImaIsFixeIma
    bool createZeroIma = false;          // ckImpCreateZeroIma
    bool reverseExpoOrder = false;       // ckImpReverseExpoOrder
    int precomp = 0;                     // cbImpPrecomp (index)
    QString fileExtensions = QStringLiteral("*.png,*.mov"); // efImpFileExtensions
    QString folder;                      // efImpFolder
    bool useShellComp = false;           // ckImpUseShellComp
    QString shellCompName;               // efImpShellCompName
    QString compName;                    // efImpCompName
    QString outputFileName;              // efImpOutputFileName
    int compWidth = 1280;                // sbImpCompWidth
    int compHeight = 720;                // sbImpCompHeight
    int compFrameRate = 25;              // sbImpCompFrameRate
    bool forceCompSize = false;          // ckImpForceCompSize
    bool compSizeFromImaSize = false;    // ckImpCompSizeFromImaSize
    QString compSizeFromImaExt = QStringLiteral("png"); // efImpCompSizeFromImaExt
};
