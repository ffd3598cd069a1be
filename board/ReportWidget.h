#pragma once

#include "support/LogSink.h"

#include "ui_Log.h"
#include "ui_SendMessage.h"
#include "ui_SendReportWidget.h"
#include "ui_Settings.h"

#include <QString>
#include <QWidget>

class QSettings;
class WToolBox;

// The Board tab: the plug-in's log console, the choice of the named configuration file that
// holds every panel setting, and the interface colours, as three pages of one tool box.
//
// The Board never reads or writes panel values itself. It decides which configuration is meant
// and asks the main panel to load or save it: with "Production2" typed in the combo and the
// prefix "cellKit4after-", "Save Conf" emits SigGlobalSaveSettings("cellKit4after-Production2"),
// and the panel writes every panel's keys (the Board's colour keys included, through
// SaveSettings) into the INI file of that application name.
class ReportWidget : public QWidget,
                     public LogSink,
                     public Ui::SendReportWidget,
                     public Ui::SendMessage,
                     public Ui::Settings,
                     public Ui::Log
{
    Q_OBJECT
public:
    explicit ReportWidget(QWidget *parent = nullptr);
    ~ReportWidget() override;

    // Makes efLog the process-wide log view (until this Board is destroyed).
    void makeProcessLogSink();
    void appendLogLine(const QString &line) override;

    // The Board's own keys in a configuration: "cbColorSet" and "slColorRange".
    void LoadSettings(QSettings &settings);
    void SaveSettings(QSettings &settings) const;

    WToolBox *toolBox() const { return m_toolBox; }

    // The interpreter of the external asset query: the path typed on the Settings page, or, while
    // the field is empty, the first python3 or python on the PATH (empty when there is none).
    QString pythonInterpreter() const;
    static QString defaultPythonInterpreter();
    bool isSettingChoiceLocked() const;

Q_SIGNALS:
    void SigGlobalSaveSettings(QString path);
    void SigGlobalLoadSettings(QString path);

public Q_SLOTS:
    void OnPbClearLog();
    void OnPbSaveSettingsNow();
    void OnPbLoadSettingsNow();
    void OnPbOpenSettings();
    void OnPbReloadSettingsList();
    void preloadSettings();
    QString GetCurrentSettingFileName();
    QString GetSettingPrefixFile();
    void SetSettingPrefixFile(QString prefix);
    QString GetSettingApplicationName();
    void SetSettingApplicationName(QString name);
    void OnColorChanged(int);
    void OnPbPythonInterpreter();

private:
    void buildPages();
    void connectControls();
    void lockSettingChoice();
    void unlockSettingChoice();
    QString configurationInTitle(Qt::CaseSensitivity cs) const;
    void setUpPythonInterpreter();

    WToolBox *m_toolBox = nullptr;
    QString m_settingPrefixFile;
    QString m_settingApplicationName;
    bool m_firstUse = true;
};
