// The window's additions: zoom and full screen with every machine pixel a solid square of
// device pixels (this test also runs under QT_SCALE_FACTOR=1.5), screenshots, sound recording,
// pause, mute and warp, their keys and their stored choices.
#include <QAction>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>

#include <cmath>

#include "ShellTest.h"
#include "SoundSamples.h"
#include "host/CSilentWaveOut.h"
#include "shell/CScreenWnd.h"
#include "shell/CSettingsStore.h"
#include "shell/CWindowExtras.h"

namespace {

// A wave output that plays only when the test says so; made before the rig that uses it.
struct SilentOutput {
    CSilentWaveOut silent;
};

// The rig with the window's extras, capturing into folders of its own.
struct ExtrasRig : SilentOutput, TestRig {
    // Captures go below `captureRoot` (by default a folder of the rig's own).
    explicit ExtrasRig(const WindowChoices& choices = WindowChoices(), QString captureRoot = QString())
        : TestRig(MachineFiles(), &silent)
    {
        if (captureRoot.isEmpty())
            captureRoot = captures.path();
        shell.SetWindowCreatedHandler([this, choices, captureRoot](CMainWnd& window) {
            extras = new CWindowExtras(window, app.Sound(), &windowSettings, choices,
                                       {captureRoot + "/Pictures", captureRoot + "/Music"});
        });
    }
    QAction* Action(const QString& text)
    {
        for (QAction* action : Window().actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    // Plays `count` buffers and returns what the generator put in their place, to be played next.
    std::vector<std::uint8_t> Play(std::size_t count)
    {
        std::vector<std::uint8_t> heard;
        silent.Play(std::uint32_t(count * CSound::BUFFER_SAMPLES), [&](WaveBuffer& b) {
            app.Sound().OnBufferDone(b);
            heard.insert(heard.end(), b.data, b.data + b.length);
        });
        return heard;
    }

    QTemporaryDir captures;
    CSettingsStore store{TEST_COMPANY, TEST_APPLICATION};
    CWindowSettings windowSettings{store};
    CWindowExtras* extras = nullptr;
};

// A pseudo-random screen image, so that every machine pixel is checked against a bit of its own.
std::vector<std::uint8_t> Pattern()
{
    std::vector<std::uint8_t> bits(CDisplay::IMAGE_BYTES);
    std::uint32_t x = 7;
    for (auto& b : bits)
        b = std::uint8_t((x = x * 1103515245u + 12345u) >> 16);
    return bits;
}

QRgb Colour(const std::vector<std::uint8_t>& bits, int x, int y)
{
    return bits[std::size_t(y * 30 + x / 8)] & (0x80 >> (x % 8)) ? CScreenWnd::SET_COLOUR : CScreenWnd::CLEAR_COLOUR;
}

// Pixels of a grab of the screen, in device pixels, that differ from the image at its painted
// rectangle (each machine pixel a square of the painted factor) with black around it.
int WrongPixels(CScreenWnd& screen, const std::vector<std::uint8_t>& bits)
{
    const QImage shot = screen.grab().toImage();
    const QRect image = screen.PaintedRect();
    const int k = screen.PaintedFactor();
    const qreal ratio = screen.devicePixelRatioF();
    const QRect client = screen.contentsRect();
    // Device pixels wholly inside the client area.
    const QRect inside(int(std::ceil(client.x() * ratio)), int(std::ceil(client.y() * ratio)),
                       int(std::floor(client.width() * ratio)) - 1, int(std::floor(client.height() * ratio)) - 1);
    int wrong = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb expected = image.contains(x, y)
                                      ? Colour(bits, (x - image.x()) / k, (y - image.y()) / k)
                                      : qRgb(0, 0, 0);
            wrong += shot.pixel(x, y) != expected;
        }
    return wrong;
}

}  // namespace

void ShellTest::ZoomAndFullScreenKeepEveryMachinePixelASolidSquare()
{
    ExtrasRig rig;
    QVERIFY(rig.app.Startup());
    rig.poster.SetTarget(nullptr);
    CMainWnd& window = rig.Window();
    CScreenWnd* screen = window.Screen();
    const std::vector<std::uint8_t> bits = Pattern();
    screen->SetImage(bits.data());
    const qreal ratio = screen->devicePixelRatioF();
    qInfo("device pixel ratio %g", ratio);
    for (int zoom : {1, 2, 3, 4}) {
        rig.extras->SetZoom(zoom);
        // The image at a whole number of device pixels a machine pixel, in the fewest logical
        // pixels that hold it; without desktop scaling, 240 x zoom: zoom 1 is the plain window.
        const int factor = CScreenWnd::DeviceFactor(zoom, ratio);
        const int side = int(std::ceil(240 * factor / ratio - 1e-6));
        if (ratio == 1)
            QCOMPARE(side, 240 * zoom);
        const int outer = side + 6;
        QCOMPARE(screen->geometry(), QRect(0, 0, outer, outer));
        QCOMPARE(window.size(), QSize(outer + 60, outer));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.ResetButton()->geometry(), QRect(outer, 0, 60, 40));
        QCOMPARE(window.ConfigButton()->geometry(), QRect(outer, 40, 60, 40));
        QCOMPARE(window.ExitButton()->geometry(), QRect(outer, 80, 60, 40));
        QCOMPARE(window.Filler()->geometry(), QRect(outer, 120, 60, outer - 120));
        QCOMPARE(WrongPixels(*screen, bits), 0);
        QCOMPARE(screen->PaintedFactor(), factor);
    }

    // Full screen: the whole screen, black around the image at the largest factor that fits.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F11);
    QVERIFY(rig.extras->FullScreen());
    QTRY_COMPARE(window.geometry(), window.screen()->geometry());
    QCOMPARE(screen->geometry(), window.rect());
    for (QWidget* hidden : {static_cast<QWidget*>(window.ResetButton()), window.Filler()})
        QVERIFY(!hidden->isVisible());
    const QSize device = window.size() * ratio;
    const int factor = std::min(device.width(), device.height()) / 240;
    QCOMPARE(WrongPixels(*screen, bits), 0);
    QCOMPARE(screen->PaintedFactor(), factor);
    // Centred: the black on either side differs by rounding only.
    const QRect painted = screen->PaintedRect();
    QVERIFY(qAbs(painted.left() - (device.width() - 1 - painted.right())) <= 2);
    QVERIFY(qAbs(painted.top() - (device.height() - 1 - painted.bottom())) <= 2);
    // Escape leaves it, back to the zoom it had.
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!rig.extras->FullScreen());
    QTRY_VERIFY(!window.isFullScreen());
    const int side4 = int(std::ceil(240 * CScreenWnd::DeviceFactor(4, ratio) / ratio - 1e-6));
    QCOMPARE(window.size(), QSize(side4 + 66, side4 + 6));
    QVERIFY(window.ResetButton()->isVisible());
    QTest::keyClick(&window, Qt::Key_Return, Qt::AltModifier);
    QVERIFY(rig.extras->FullScreen());
    QTest::keyClick(&window, Qt::Key_Return, Qt::AltModifier);
    QVERIFY(!rig.extras->FullScreen());
    for (int zoom : {2, 1})
        QTest::keyClick(&window, Qt::Key(Qt::Key_0 + zoom), Qt::AltModifier);
    QCOMPARE(rig.extras->Zoom(), 1);
    if (ratio == 1)
        QCOMPARE(window.size(), QSize(306, 246));
}

void ShellTest::ScreenshotsAreTheScreenInItsColoursAtTheZoom()
{
    ExtrasRig rig;
    QVERIFY(rig.app.Startup());
    rig.poster.SetTarget(nullptr);
    CScreenWnd* screen = rig.Window().Screen();
    const std::vector<std::uint8_t> bits = Pattern();
    screen->SetImage(bits.data());
    rig.extras->SetZoom(3);
    QStringList paths;
    for (int shot = 0; shot < 2; ++shot)
        paths << rig.extras->SaveScreenshot();
    // Names by the date and time, the second of one second numbered.
    const QRegularExpression name(R"(/Pictures/vorlix-\d{8}-\d{6}(-2)?\.png$)");
    for (const QString& path : paths)
        QVERIFY2(name.match(path).hasMatch(), qPrintable(path));
    QVERIFY(paths[0] != paths[1]);
    QCOMPARE(rig.extras->Note(), "Screenshot saved to " + paths[1]);
    const QImage png(paths[0]);
    QCOMPARE(png.size(), QSize(720, 720));
    int wrong = 0;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 720; ++x)
            wrong += png.pixel(x, y) != Colour(bits, x / 3, y / 3);
    QCOMPARE(wrong, 0);
    // Where no folder can be made, nothing is saved or recorded and the note says so.
    QFile blocker(rig.captures.filePath("Pictures/blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ExtrasRig blocked({}, blocker.fileName());
    QVERIFY(blocked.app.Startup());
    QCOMPARE(blocked.extras->SaveScreenshot(), QString());
    QVERIFY(blocked.extras->Note().startsWith("Screenshot not saved"));
    blocked.extras->SetRecording(true);
    QVERIFY(!blocked.extras->Recording());
    QVERIFY(blocked.extras->Note().startsWith("Sound not recorded"));
}

void ShellTest::PauseMuteRecordAndWarpKeepTheMachineInStep()
{
    ExtrasRig rig;
    const sound_samples::Samples samples;
    samples.WriteTo(rig.folder);
    QVERIFY(rig.app.Startup());
    rig.poster.SetTarget(nullptr);
    CMainWnd& window = rig.Window();
    CWindowExtras& extras = *rig.extras;
    CEmuApp& app = rig.app;
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    constexpr std::size_t N = CSound::BUFFER_SAMPLES;
    using sound_samples::Loop;
    using sound_samples::Silence;

    // Recording: the generator's bytes as it makes them, in a WAV file in the music folder.
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    QVERIFY(extras.Recording());
    QVERIFY(extras.RecordingPath().contains(QRegularExpression(R"(/Music/vorlix-\d{8}-\d{6}\.wav$)")));
    QCOMPARE(extras.Note(), "Recording sound to " + extras.RecordingPath());
    app.Sound().SetControl(0x01);
    QCOMPARE(rig.Play(3), Loop(samples.hi, 0, 3 * N));

    // Paused: no slice, the caption says so, the sound stands: silence, nothing made.
    Tick(window);
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(window.windowTitle(), QString("Vorlix - paused"));
    auto state = [&app] {
        const CCpu& cpu = app.Cpu();
        const CCpu::Registers& r = cpu.Regs();
        QByteArray bytes(reinterpret_cast<const char*>(app.Memory().Bytes()), CMemory::SIZE);
        for (int v : {int(r.af), int(r.bc), int(r.de), int(r.hl), int(r.ix), int(r.iy), int(r.sp), int(r.pc),
                      int(cpu.pendingEvents), int(cpu.cycleBudget), int(app.Display().FrameCounter())})
            bytes += QByteArray::number(v) + ' ';
        return bytes;
    };
    const QByteArray before = state();
    const std::uint32_t frames = app.Display().FrameCounter();
    Tick(window, 5);
    QCOMPARE(window.OnEmuTick(), 0);
    QVERIFY(state() == before);
    QCOMPARE(rig.Play(4), Silence(4 * N));
    // Resuming runs the next tick from where it stood.
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(window.windowTitle(), QString("Vorlix"));
    QCOMPARE(window.OnEmuTick(), 1);
    QCOMPARE(app.Display().FrameCounter(), frames + 1);
    QCOMPARE(rig.Play(2), Loop(samples.hi, 3 * N, 2 * N));
    // Losing the focus does not pause.
    {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(window.OnEmuTick(), 1);
    }
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // Muted: silence out, the generator runs on unheard (and is recorded); the choice is kept.
    QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
    QVERIFY(extras.Muted());
    QCOMPARE(rig.Play(3), Silence(3 * N));
    QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
    QCOMPARE(rig.Play(1), Loop(samples.hi, 8 * N, N));
    QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
    QVERIFY(!extras.Recording());
    QCOMPARE(extras.Note(), "Sound saved to " + extras.RecordingPath());
    QFile wav(extras.RecordingPath());
    QVERIFY(wav.open(QIODevice::ReadOnly));
    const QByteArray recorded = wav.readAll();
    QCOMPARE(recorded.size(), 44 + 9 * int(N));
    QCOMPARE(recorded.left(4), QByteArray("RIFF"));
    const std::vector<std::uint8_t> data(recorded.begin() + 44, recorded.end());
    QVERIFY(data == Loop(samples.hi, 0, 9 * N));

    // Warp: slices back to back without ticks, muted, the emulated rate in the caption.
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QVERIFY(window.Pacer().Unpaced());
    QCOMPARE(window.OnEmuTick(), 0);
    QCOMPARE(rig.Play(1), Silence(N));
    const std::uint64_t slices = window.Pacer().Slices();
    const QRegularExpression figure(R"(^Vorlix - warp \d+\.\d MHz$)");
    QTRY_VERIFY_WITH_TIMEOUT(figure.match(window.windowTitle()).hasMatch(), 20000);
    QVERIFY(window.Pacer().Slices() > slices);
    qInfo("%s", qPrintable(window.windowTitle()));
    // Paused while warping stops it; the configuration dialog's run flag stops it as well.
    // The same number of event-loop rounds runs slices while warping and none while paused.
    const auto slicesOverRounds = [&] {
        const std::uint64_t before = window.Pacer().Slices();
        for (int round = 0; round < 5; ++round)
            QCoreApplication::processEvents();
        return window.Pacer().Slices() - before;
    };
    QVERIFY(slicesOverRounds() > 0);
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(window.windowTitle(), QString("Vorlix - paused"));
    QVERIFY(window.Pacer().Paused() && window.Pacer().Hurried(CPacer::WARP) && !window.Pacer().Unpaced());
    QCOMPARE(slicesOverRounds(), std::uint64_t(0));
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(window.windowTitle(), QString("Vorlix"));
    QCOMPARE(rig.Play(1), Loop(samples.hi, 10 * N, N));  // the generator ran on unheard

    // Zoom, full screen and mute are kept in the "Window" group; pause and warp are not.
    QSettings store(TEST_COMPANY, TEST_APPLICATION);
    QCOMPARE(store.value("Window/Mute").toInt(), 0);
    QVERIFY(!store.contains("Window/Zoom") && !store.contains("Config/FileFolder"));
    QTest::keyClick(&window, Qt::Key_3, Qt::AltModifier);
    QCOMPARE(QSettings(TEST_COMPANY, TEST_APPLICATION).value("Window/Zoom").toInt(), 3);
}

void ShellTest::WindowChoicesAreReadFromTheirOwnGroup()
{
    // What is stored, and the zoom, full screen and mute read.
    const std::pair<QVariantMap, QString> cases[] = {
        {{}, "1|0|0"},
        {{{"Window/Zoom", 4}, {"Window/FullScreen", 1}, {"Window/Mute", 1}}, "4|1|1"},
        {{{"Window/Zoom", 5}, {"Window/FullScreen", 2}, {"Window/Mute", "yes"}, {"Config/Zoom", 2}}, "1|0|0"},
        {{{"Window/Zoom", 0}, {"Window/Mute", -1}}, "1|0|0"},
    };
    for (const auto& [stored, expected] : cases) {
        QTemporaryDir dir;
        TestRig::PointSettingsAt(dir.path());
        QSettings store(TEST_COMPANY, TEST_APPLICATION);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store.setValue(it.key(), it.value());
        store.sync();
        WindowChoices choices;
        CWindowSettings(CSettingsStore(TEST_COMPANY, TEST_APPLICATION)).Read(choices);
        QCOMPARE(QString("%1|%2|%3").arg(choices.zoom).arg(choices.fullScreen).arg(choices.mute), expected);
    }
}
