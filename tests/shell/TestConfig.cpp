// The configuration dialog run from the main window: Cancel changes nothing, OK writes all
// five values, out-of-range values are shown and stored within range, an over-long folder
// keeps the dialog open, failed writes report themselves and keep the new values in memory,
// and the colour buttons tint only the sample.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "TestRegistry.h"
#include "TestRig.h"
#include "shell/CConfigDlg.h"

namespace {

QVariant Stored(const char* name)
{
    QSettings store(TEST_COMPANY, TEST_APPLICATION);
    return store.value(QStringLiteral("Config/") + name);
}

// Opens the dialog from the Config button, runs `inside` with it while it is up, and
// returns once the dialog has closed.
template <typename Action>
bool RunDialog(CMainWnd& window, Action inside)
{
    bool ran = false;
    QTimer::singleShot(0, [&ran, inside] {
        auto* dialog = dynamic_cast<CConfigDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        ran = true;
        inside(*dialog);
    });
    window.ConfigButton()->click();
    return ran;
}

class ConfigTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void CancelChangesNothing()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        rig.app.Config().fileFolder = "files/";
        rig.app.Config().printDestination = "lpt.txt";
        QVERIFY(RunDialog(rig.Window(), [](CConfigDlg& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("VorlixConfig"));
            QCOMPARE(dialog.FolderEdit()->text(), QString("files/"));
            QCOMPARE(dialog.DestinationEdit()->text(), QString("lpt.txt"));
            QVERIFY(dialog.AppendBox()->isChecked());
            QVERIFY(dialog.TranslateBox()->isChecked());
            QCOMPARE(dialog.SpeedSlider()->value(), 3500);
            QCOMPARE(dialog.SpeedSlider()->minimum(), 1000);
            QCOMPARE(dialog.SpeedSlider()->maximum(), 8000);
            QCOMPARE(dialog.SpeedSlider()->tickInterval(), 1000);
            dialog.FolderEdit()->setText("elsewhere/");
            dialog.DestinationEdit()->setText("other.txt");
            dialog.AppendBox()->setChecked(false);
            dialog.TranslateBox()->setChecked(false);
            dialog.SpeedSlider()->setValue(7000);
            dialog.CancelButton()->click();
        }));
        const Settings& settings = rig.app.Config();
        QCOMPARE(settings.fileFolder, std::string("files/"));
        QCOMPARE(settings.printDestination, std::string("lpt.txt"));
        QCOMPARE(settings.printAppend, 1);
        QCOMPARE(settings.printTranslate, 1);
        QCOMPARE(settings.emulatorSpeed, 3500);
        QVERIFY(QSettings(TEST_COMPANY, TEST_APPLICATION).allKeys().isEmpty());
        QVERIFY(rig.Window().RunEnabled());
        QVERIFY(rig.messenger.texts.isEmpty());
    }

    void OkWritesAllFiveInRange()
    {
        TestRig rig;
        {
            QSettings stored(TEST_COMPANY, TEST_APPLICATION);
            stored.setValue("Config/EmulatorSpeed", 500);
            stored.setValue("Config/PrintAppend", 5);
        }
        QVERIFY(rig.app.Startup());
        QVERIFY(RunDialog(rig.Window(), [](CConfigDlg& dialog) {
            QCOMPARE(dialog.SpeedSlider()->value(), 1000);
            QVERIFY(!dialog.AppendBox()->isChecked());
            QCOMPARE(dialog.AppendBox()->checkState(), Qt::Unchecked);
            dialog.OkButton()->click();
        }));
        QCOMPARE(Stored("FileFolder"), QVariant(QString()));
        QCOMPARE(Stored("PrintDestination"), QVariant(QString()));
        QCOMPARE(Stored("PrintAppend").toInt(), 0);
        QCOMPARE(Stored("PrintTranslate").toInt(), 1);
        QCOMPARE(Stored("EmulatorSpeed").toInt(), 1000);
        QCOMPARE(rig.app.Config().emulatorSpeed, 1000);
        QCOMPARE(rig.app.Config().printAppend, 0);

        rig.app.Config().emulatorSpeed = 9000;
        QVERIFY(RunDialog(rig.Window(), [](CConfigDlg& dialog) {
            QCOMPARE(dialog.SpeedSlider()->value(), 8000);
            dialog.FolderEdit()->setText("/srv/vorlix/");
            dialog.DestinationEdit()->setText("printout.txt");
            dialog.TranslateBox()->setChecked(false);
            dialog.AppendBox()->setChecked(true);
            dialog.OkButton()->click();
        }));
        QCOMPARE(Stored("EmulatorSpeed").toInt(), 8000);
        QCOMPARE(Stored("FileFolder").toString(), QString("/srv/vorlix/"));
        QCOMPARE(Stored("PrintDestination").toString(), QString("printout.txt"));
        QCOMPARE(Stored("PrintAppend").toInt(), 1);
        QCOMPARE(Stored("PrintTranslate").toInt(), 0);
        const Settings& settings = rig.app.Config();
        QCOMPARE(settings.fileFolder, std::string("/srv/vorlix/"));
        QCOMPARE(settings.printDestination, std::string("printout.txt"));
        QCOMPARE(settings.printTranslate, 0);
        QCOMPARE(settings.emulatorSpeed, 8000);
        QVERIFY(rig.messenger.texts.isEmpty());
        QVERIFY(rig.Window().RunEnabled());
    }

    void OverlongFolderKeepsTheDialogOpen()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        const std::string longFolder(300, 'f');
        rig.app.Config().fileFolder = longFolder;
        bool stayedOpen = false;
        QVERIFY(RunDialog(rig.Window(), [&](CConfigDlg& dialog) {
            QCOMPARE(dialog.FolderEdit()->text().size(), 300);
            dialog.OkButton()->click();
            stayedOpen = dialog.isVisible() && dialog.FolderEdit()->selectedText().size() == 300;
            // Typing cannot make it longer; shortening it lets OK through.
            dialog.FolderEdit()->setText(QString(255, 'g'));
            dialog.OkButton()->click();
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(rig.messenger.texts, QStringList{"Please enter no more than 255 characters."});
        QCOMPARE(rig.app.Config().fileFolder, std::string(255, 'g'));
    }

    void FailedWritesReportEachAndKeepTheNewValues()
    {
        TestRig rig;
        QVERIFY(rig.app.Startup());
        rig.settings.MakeUnwritable();
        QVERIFY(RunDialog(rig.Window(), [](CConfigDlg& dialog) {
            dialog.DestinationEdit()->setText("new.txt");
            dialog.SpeedSlider()->setValue(2000);
            dialog.OkButton()->click();
        }));
        QCOMPARE(rig.messenger.texts,
                 QStringList({"WriteProfileString failed!", "WriteProfileString failed!", "WriteProfileInt failed!",
                              "WriteProfileInt failed!", "WriteProfileInt failed!"}));
        QCOMPARE(rig.app.Config().printDestination, std::string("new.txt"));
        QCOMPARE(rig.app.Config().emulatorSpeed, 2000);
        QVERIFY(rig.Window().RunEnabled());
    }

    void ColourButtonsTintOnlyTheSample()
    {
        RecordingMessenger messenger;
        CConfigDlg dialog(messenger, nullptr);
        QColor offered;
        QColor answer(10, 20, 200);
        dialog.SetColourChooser([&](const QColor& start, QWidget*) {
            offered = start;
            return answer;
        });
        const QImage before = dialog.Sample()->pixmap().toImage();
        QCOMPARE(before.size(), QSize(73, 14));
        // The starting colours are the screen's own.
        QCOMPARE(QColor(before.pixel(0, 0)), QColor(32, 32, 32));
        dialog.OnBackground();
        QCOMPARE(offered, QColor(32, 32, 32));
        QCOMPARE(dialog.SampleBackColor(), answer);
        answer = QColor(250, 250, 0);
        dialog.OnText();
        QCOMPARE(dialog.SampleTextColor(), answer);
        const QImage after = dialog.Sample()->pixmap().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                colours.insert(after.pixel(x, y) | 0xFF000000u);
        QCOMPARE(colours, QSet<QRgb>({QColor(10, 20, 200).rgb(), QColor(250, 250, 0).rgb()}));
        // A cancelled chooser changes nothing.
        answer = QColor();
        dialog.OnBackground();
        QCOMPARE(dialog.SampleBackColor(), QColor(10, 20, 200));
    }
};

}  // namespace

const ShellTests::Registration configTest([] { return static_cast<QObject*>(new ConfigTest); });
#include "TestConfig.moc"
