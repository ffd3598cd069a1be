#pragma once

#include "support/LogSink.h"

#include "ui_Log.h"
#include "ui_SendMessage.h"
#include "ui_SendReportWidget.h"
#include "ui_Settings.h"

#include <QFile>
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
//
// With "Log To File" ticked, every log line also goes to cellKit4After.log in the
// configuration folder, one line per message: "2024-05-02 10:42:07.125 -INF- ImportScene"
// (HTML lines as their text, line breaks inside a message as blanks). At 5 MB the file becomes
// cellKit4After.log.1, replacing the older one.
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
    void appendLogLines(const QStringList &lines) override;

    // The log file while "Log To File" is ticked, and its size limit before it is rotated.
    static QString logFilePath();
    static constexpr qint64 kLogFileLimit = 5 * 1024 * 1024;

    // The Board's own keys in a configuration: "cbColorSet", "slColorRange" and "ckFile".
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
    void OnCkFileToggled(bool on);
    void OnPbVersionInformation();

private:
    void buildPages();
    void connectControls();
    void lockSettingChoice();
    void unlockSettingChoice();
    QString configurationInTitle(Qt::CaseSensitivity cs) const;
    void setUpPythonInterpreter();
    void writeLogFile(const QStringList &lines);
    bool rotateLogFile(QString *why);
    void stopLogFile(const QString &why);

    WToolBox *m_toolBox = nullptr;
    QString m_settingPrefixFile;
    QString m_settingApplicationName;
    bool m_firstUse = true;
    QFile m_logFile; // open while "Log To File" is ticked
};
