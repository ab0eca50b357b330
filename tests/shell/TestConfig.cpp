// The configuration dialog run from the main window: Cancel changes nothing, OK writes all
// five values, out-of-range values are shown and stored within range, an over-long folder
// keeps the dialog open, failed writes report themselves and keep the new values in memory,
// and the colour buttons tint only the sample.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>

#include "ShellTest.h"
#include "shell/CConfigDlg.h"

namespace {

QString Stored()  // missing values empty
{
    QSettings store(TEST_COMPANY, TEST_APPLICATION);
    QVariantList values;
    for (const char* name : {"FileFolder", "PrintDestination", "PrintAppend", "PrintTranslate", "EmulatorSpeed"})
        values << store.value(QString("Config/") + name);
    return Describe(values);
}

QString Shown(const CConfigDlg& d)  // check boxes 0 unchecked, 1 checked, 2 undecided
{
    const int states[] = {0, 2, 1};  // by Qt::Unchecked, PartiallyChecked, Checked
    return Describe({d.FolderEdit()->text(), d.DestinationEdit()->text(), states[d.AppendBox()->checkState()],
                     states[d.TranslateBox()->checkState()], d.SpeedSlider()->value()});
}

// Opens the dialog from the Config button and runs `inside` with it while it is up.
bool RunDialog(CMainWnd& window, const std::function<void(CConfigDlg&)>& inside)
{
    bool ran = false;
    WhenModal<CConfigDlg>([&ran, inside](CConfigDlg* dialog) {
        if ((ran = dialog != nullptr))
            inside(*dialog);
    });
    window.ConfigButton()->click();
    return ran;
}

}  // namespace

void ShellTest::DialogRoundTrips()
{
    TestRig rig;
    QSettings(TEST_COMPANY, TEST_APPLICATION).setValue("Config/EmulatorSpeed", 500);
    QSettings(TEST_COMPANY, TEST_APPLICATION).setValue("Config/PrintAppend", 5);
    QVERIFY(rig.app.Startup());
    rig.app.Config().fileFolder = "files/";
    rig.app.Config().printDestination = "lpt.txt";
    const struct {
        int speed;  // put in memory before the dialog opens, unless 0
        QString shown;
        bool edit;
        bool ok;
        QString kept;  // in memory afterwards; also in the store after OK
    } rounds[] = {
        // 500 shows as 1000 and PrintAppend 5 unchecked; Cancel keeps them, in memory and stored.
        {0, "files/|lpt.txt|0|1|1000", true, false, "files/|lpt.txt|5|1|500"},
        {0, "files/|lpt.txt|0|1|1000", false, true, "files/|lpt.txt|0|1|1000"},
        {9000, "files/|lpt.txt|0|1|8000", true, true, "/srv/vorlix/|printout.txt|1|0|8000"},
    };
    for (const auto& r : rounds) {
        if (r.speed)
            rig.app.Config().emulatorSpeed = r.speed;
        QVERIFY(RunDialog(rig.Window(), [&r](CConfigDlg& d) {
            QCOMPARE(d.windowTitle(), QString("VorlixConfig"));
            QCOMPARE(QString("%1-%2/%3").arg(d.SpeedSlider()->minimum()).arg(d.SpeedSlider()->maximum())
                         .arg(d.SpeedSlider()->tickInterval()), QString("1000-8000/1000"));
            QCOMPARE(Shown(d), r.shown);
            if (r.edit) {
                d.FolderEdit()->setText("/srv/vorlix/");
                d.DestinationEdit()->setText("printout.txt");
                d.AppendBox()->setChecked(true);
                d.TranslateBox()->setChecked(false);
            }
            (r.ok ? d.OkButton() : d.CancelButton())->click();
        }));
        QCOMPARE(Describe(rig.app.Config()), r.kept);
        QCOMPARE(Stored(), r.ok ? r.kept : QString("||5||500"));
        QVERIFY(rig.Window().RunEnabled());
    }
    QVERIFY(rig.messenger.texts.isEmpty());
}

void ShellTest::DialogRejectsOverlongFolderAndReportsFailedWrites()
{
    TestRig rig;
    QVERIFY(rig.app.Startup());
    rig.app.Config().fileFolder = std::string(300, 'f');
    rig.MakeSettingsUnwritable();
    bool stayedOpen = false;
    QVERIFY(RunDialog(rig.Window(), [&stayedOpen](CConfigDlg& d) {
        QCOMPARE(d.FolderEdit()->text().size(), 300);
        d.OkButton()->click();
        stayedOpen = d.isVisible() && d.FolderEdit()->selectedText().size() == 300;
        d.FolderEdit()->setText(QString(255, 'g'));
        d.DestinationEdit()->setText("new.txt");
        d.SpeedSlider()->setValue(2000);
        d.OkButton()->click();
    }));
    QVERIFY(stayedOpen);
    // Each of the five writes fails in turn; the new values stay in memory all the same.
    QCOMPARE(rig.messenger.texts,
             QStringList({"Please enter no more than 255 characters.", "WriteProfileString failed!",
                          "WriteProfileString failed!", "WriteProfileInt failed!", "WriteProfileInt failed!",
                          "WriteProfileInt failed!"}));
    QCOMPARE(Describe(rig.app.Config()), QString(255, 'g') + "|new.txt|1|1|2000");
    QVERIFY(rig.Window().RunEnabled());
}

void ShellTest::ColourButtonsTintOnlyTheSample()
{
    RecordingMessenger messenger;
    CConfigDlg dialog(messenger, nullptr);
    QColor offered, answer(10, 20, 200);
    dialog.SetColourChooser([&](const QColor& start, QWidget*) {
        offered = start;
        return answer;
    });
    auto colours = [&dialog] {
        const QImage sample = dialog.Sample()->pixmap().toImage();
        QSet<QRgb> found;
        for (int y = 0; y < sample.height(); ++y)
            for (int x = 0; x < sample.width(); ++x)
                found.insert(sample.pixel(x, y) | 0xFF000000u);
        return found;
    };
    QCOMPARE(dialog.Sample()->pixmap().size(), QSize(73, 14));
    QVERIFY(colours().contains(qRgb(32, 32, 32)));  // the screen's own colours to start with
    dialog.OnBackground();
    QCOMPARE(offered, QColor(32, 32, 32));
    answer = QColor(250, 250, 0);
    dialog.OnText();
    const QSet<QRgb> chosen{qRgb(10, 20, 200), qRgb(250, 250, 0)};
    QCOMPARE(colours(), chosen);
    answer = QColor();  // a cancelled chooser changes nothing
    dialog.OnBackground();
    QCOMPARE(colours(), chosen);
}
