#pragma once
// The Create Scene side of an import run as the configuration holds it, for as long as the
// Create Scene tool is not part of the panel: the template switch and path, the "copy files to
// relative path" switch and the script list, read under the keys that tool saves them with
// ("ckUseTemplateFile", "FlashTemplateFile", "ckImpMoveFilesToRelativePath", "listScript").
// Library files and the production placeholders stay off and empty.
//
// Example: a configuration holding listScript=BATCH_fx.jsx,tools.jsx makes BATCH_fx.jsx run
// after every imported scene.
#include "import/CreateSceneSource.h"

class QSettings;

class ConfiguredCreateSceneSource : public CreateSceneSource
{
public:
    explicit ConfiguredCreateSceneSource(const QSettings &settings);

    bool moveFilesToRelativePath() const override { return m_moveFiles; }
    bool useTemplate() const override { return m_useTemplate; }
    QString templatePath() const override { return m_templatePath; }
    QStringList scripts() const override { return m_scripts; }

private:
    bool m_moveFiles = false;
    bool m_useTemplate = false;
    QString m_templatePath;
    QStringList m_scripts;
};
