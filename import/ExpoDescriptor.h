#pragma once
// The scene descriptor ("expo file"): an ISO-8859-1 XML file describing a scene's length, rate,
// size and its tree of image columns grouped in folders. The writer makes the generated file of
// the directory analysis; the reader walks any descriptor and hands each column to a
// ColumnAssembler.
#include "import/ExpoCol.h"
#include "import/ImportOptions.h"

#include <QString>

class ColumnAssembler;
class QDomElement;

// Scene defaults read from a hand-written descriptor; values stay as given when absent.
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

    // Writes the descriptor; false (and "Echec creation fichier" in the log) when the file
    // cannot be created.
    static bool WriteExpoDescriptor(const QString &path, int nbIma, int frameRate, int width,
                                    int height, const ExpoColList &cols);
    // The descriptor text as written (Latin-1 bytes, "\n" line ends).
    static QByteArray descriptorText(int nbIma, int frameRate, int width, int height,
                                     const ExpoColList &cols);

    // Reads a hand-written descriptor for the analysis' defaults; silent on failure (false).
    static bool readDefaults(const QString &path, int defaultFrameRate, DescriptorDefaults *out);

    // Reads one descriptor and builds the scene; failures go to the log.
    void ImportSceneFromXml(const QString &path);
    // Walks cols and col elements below element; returns the layers added at this level.
    int ImportCols(const QDomElement &element, const QString &dir, int frameRate, int depth);

private:
    void importColumn(const QDomElement &col, const QString &dir, int frameRate);

    const ImportOptions &m_options;
    ColumnAssembler &m_assembler;
};
