#include "board/ConfigurationFiles.h"
#include "board/ReportWidget.h"
#include "support/AnsweringPrompts.h"

#include "TestFiles.h"

#include "FileSizeLimit.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

class TestBoardConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AnsweringPrompts m_answers;
    Prompts *m_previous = nullptr;

    QString fileIn(const QString &name) const { return m_dir.filePath("Quillmark/" + name); }
    static void makeReady(ReportWidget &board)
    {
        board.SetSettingPrefixFile(QStringLiteral("cellKit4after-"));
        board.SetSettingApplicationName(QStringLiteral("cellKit4After"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/native");
        QVERIFY(QDir(m_dir.path()).mkpath("Quillmark"));
        m_previous = Prompts::install(&m_answers);
    }
    void cleanupTestCase() { Prompts::install(m_previous); }
    void init()
    {
        m_answers.forget();
        for (const QString &f : QDir(fileIn(QString())).entryList(QDir::Files))
            QFile::remove(fileIn(f));
    }

    void differentlyCasedPrefixesBothList()
    {
        QVERIFY(::writeFile(fileIn("cellKit4after-A.ini"), "[General]\nx=1\n"));
        QVERIFY(::writeFile(fileIn("cellKit4After-b.ini"), "[General]\nx=2\n"));
        QVERIFY(::writeFile(fileIn("other-c.ini"), ""));
        ReportWidget board;
        makeReady(board);
        board.OnPbReloadSettingsList();
        QStringList items;
        for (int i = 0; i < board.cbSettingsFile->count(); ++i)
            items << board.cbSettingsFile->itemText(i);
        items.sort(
            Qt::CaseInsensitive); // listed in file-name order, which puts "cellKit4After-" first
        QCOMPARE(items, QStringList({"A", "b"}));
        // Loading "b" must reach the file that exists, whatever the disk thinks of case.
        ConfigurationFiles::storeConfigurationName("cellKit4After", " b ");
        QSignalSpy load(&board, &ReportWidget::SigGlobalLoadSettings);
        board.OnPbLoadSettingsNow();
        QCOMPARE(load.size(), 1);
        auto settings = ConfigurationFiles::open(load.at(0).at(0).toString());
        QCOMPARE(settings->value("x").toInt(), 2);
    }

    void declinedOverwriteLeavesFilesUntouched()
    {
        QVERIFY(::writeFile(fileIn("cellKit4after-A.ini"), "[General]\ncbColorSet=1\n"));
        QVERIFY(::writeFile(fileIn("cellKit4after-B.ini"), "[General]\ncbColorSet=2\n"));
        ReportWidget board;
        makeReady(board);
        ConfigurationFiles::storeConfigurationName("cellKit4After", "A");
        board.GetCurrentSettingFileName();
        board.cbSettingsFile->setEnabled(true);
        board.cbSettingsFile->setCurrentText("B");
        m_answers.answerButton(Prompts::No);
        QSignalSpy save(&board, &ReportWidget::SigGlobalSaveSettings);
        board.OnPbSaveSettingsNow();
        QCOMPARE(save.size(), 0);
        QCOMPARE(m_answers.asked().size(), 1);
        QCOMPARE(m_answers.asked().at(0).title, QStringLiteral("Warning !!!"));
        QVERIFY(m_answers.asked().at(0).text.contains("[A] => [B]"));
        QCOMPARE(readFile(fileIn("cellKit4after-A.ini")), QByteArray("[General]\ncbColorSet=1\n"));
        QCOMPARE(readFile(fileIn("cellKit4after-B.ini")), QByteArray("[General]\ncbColorSet=2\n"));
        QCOMPARE(ConfigurationFiles::storedConfigurationName("cellKit4After"), QStringLiteral("B"));
    }

    // A save that fails half way through the configuration's own write (the lock file, well
    // under the limit, is written first and passes): the log gives that write's reason and
    // the previous file stays byte for byte, with nothing left beside it.
    void failedSaveReportsAndKeepsOldFile()
    {
        const QByteArray old = "[General]\nslColorRange=5\n";
        QVERIFY(::writeFile(fileIn("cellKit4after-full.ini"), old));
        ReportWidget board;
        board.makeProcessLogSink();
        auto settings = ConfigurationFiles::open("cellKit4after-full");
        QCOMPARE(settings->value("slColorRange").toInt(), 5);
        settings->setValue("slColorRange", 7);
        settings->setValue("TableOptions", QString(6000, QLatin1Char('x')));
        bool ok = true;
        {
            const FileSizeLimit limit(2048);
            ok = ConfigurationFiles::commit(*settings);
        }
        QVERIFY(!ok);
        const QString log = board.efLog->toPlainText();
        QVERIFY(log.contains("-ERR- Configuration not saved"));
        QVERIFY2(log.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(log));
        QCOMPARE(readFile(fileIn("cellKit4after-full.ini")), old);
        QCOMPARE(QDir(fileIn(QString())).entryList(QDir::Files),
                 QStringList{"cellKit4after-full.ini"});
    }
};

QTEST_MAIN(TestBoardConfig)
#include "tst_board_config.moc"
