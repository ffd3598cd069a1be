#pragma once
// The scene descriptor ("expo file"): an ISO-8859-1 XML file describing a scene's length, rate,
// size and its tree of image columns grouped in folders. The writer makes the generated file of
// the directory analysis; the reader walks any descriptor and hands each column to a
// ColumnAssembler.
//
// Example: a scene folder SC01 with a sequence A0001.png..A0024.png at its top and BG.png in
// its folder BG gives
//     <cols name="A00">
//         <col name="A"  type="anim" subdir="" ext="png" firstCellName="A0001" folder="" />
//     <cols name="BG">
//         <col name="BG"  type="fixe" subdir="/BG" ext="png" firstCellName="BG" folder="" />
//     </cols>
//     </cols>
// and the reader, with the precomposition option at "Folder", adds A, then BG, precomposes
// BG into a composition "BG": two layers, the precomposition on top.
#include "import/ExpoCol.h"
#include "import/ImportOptions.h"

#include <QString>

class ColumnAssembler;
class QDomElement;

// Scene defaults read from a hand-written descriptor: nbIma (0 when absent), frameRate (the
// given default when absent) and, when a size element exists, dx and dy (else left as given).
struct DescriptorDefaults
{
    int nbIma = 0;
    int frameRate = 0;
    int dx = 0;
    int dy = 0;
};

class ExpoDescriptor
{
public:
    ExpoDescriptor(const ImportOptions &options, ColumnAssembler &assembler);

    // The generated-file marker in descriptor names.
    static QString generatedMarker() { return QStringLiteral("-QUILLMARK-GENERATED"); }

    // Writes the descriptor whole or not at all; false (and "Echec creation fichier" with the
    // reason in the log) when it cannot, the previous file then left as it was.
    static bool WriteExpoDescriptor(const QString &path, int nbIma, int frameRate, int width,
                                    int height, const ExpoColList &cols);
    // The descriptor text as written (Latin-1 bytes, "\n" line ends).
    static QByteArray descriptorText(int nbIma, int frameRate, int width, int height,
                                     const ExpoColList &cols);

    // Reads a hand-written descriptor for the analysis' defaults; silent on failure (false).
    static bool readDefaults(const QString &path, int defaultFrameRate, DescriptorDefaults *out);
    // The same on descriptor bytes already in memory.
    static bool readDefaultsFromData(const QByteArray &data, int defaultFrameRate,
                                     DescriptorDefaults *out);

    // Reads one descriptor and builds the scene; failures go to the log.
    void ImportSceneFromXml(const QString &path);
    // The same on the descriptor's bytes already in memory; path names the scene and its folder.
    void importSceneFromData(const QString &path, const QByteArray &data);
    // Walks cols and col elements below element; returns the layers added at this level.
    int ImportCols(const QDomElement &element, const QString &dir, int frameRate, int depth);

private:
    void importColumn(const QDomElement &col, const QString &dir, int frameRate);

    const ImportOptions &m_options;
    ColumnAssembler &m_assembler;
};
