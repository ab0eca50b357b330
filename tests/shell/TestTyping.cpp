// Typing text in: a dropped listing and a pasted command round trip through SAVE on the real
// ROM, a key press stops a paste part way, the pacer's unpaced batches, the keyboard mode in
// its own settings group, and the keyboard map against the translator.
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <fstream>
#include <sstream>

#include "BasicListing.h"
#include "MachineRig.h"
#include "ShellTest.h"
#include "assets/CFontSheet.h"
#include "core/CTypist.h"
#include "devices/CKeyboard.h"
#include "host/CRuntimeFolder.h"
#include "shell/CKeyMapDlg.h"
#include "shell/CKeyMapPainter.h"
#include "shell/CScreenWnd.h"

namespace {

// The rig with the built ROM images, font and samples, and a file store "store/".
void UseRealRuntime(TestRig& rig)
{
    for (const std::string& name : CRuntimeFolder::Files()) {
        std::ifstream in(std::string(VORLIX_RUNTIME_DIR) + "/" + name, std::ios::binary);
        rig.folder.Write(name, std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
    }
    std::filesystem::create_directory(rig.folder.Path() / "store");
}

std::string Saved(const TestRig& rig, const std::string& name)
{
    std::ifstream in(rig.folder.Path() / "store" / BasicListing::SavedName(name), std::ios::binary);
    return BasicListing::FromSaved({std::istreambuf_iterator<char>(in), {}});
}

void Drop(CMainWnd& window, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: the application passes drops on only during a drag of its own.
    static_cast<QObject&>(window).event(&drop);
}

QStringList Lines(const std::string& text)
{
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

void ShellTest::DroppedAndPastedTextRoundTripsThroughSaveAndAKeyStopsIt()
{
    TestRig rig;
    UseRealRuntime(rig);
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    rig.poster.SetTarget(nullptr);  // only the slices this test runs
    rig.app.Config().fileFolder = "store/";
    Tick(window, 50);

    // A dropped listing of 300 lines, then SAVE from the clipboard by Alt+V, both unpaced.
    const std::string listing = BasicListing::Make(300);
    rig.folder.WriteText("listing.bas", listing);
    Drop(window, QString::fromStdString(rig.folder.File("listing.bas")));
    QVERIFY2(window.Typing() && window.Pacer().Unpaced(), qPrintable(rig.messenger.texts.join('|')));
    Tick(window, 5);  // ticks run nothing meanwhile
    while (window.Typing())
        QCoreApplication::processEvents();
    QVERIFY(!window.Pacer().Unpaced());
    QGuiApplication::clipboard()->setText(QString::fromStdString(BasicListing::SaveCommand("WHOLE")));
    window.PasteAction()->trigger();
    while (window.Typing())
        QCoreApplication::processEvents();
    Tick(window, 1500);
    QVERIFY(Saved(rig, "WHOLE") == listing);

    // Part way through, Escape stops the paste and is not typed itself; what was typed
    // before is kept, the line it stopped in ends with the next Enter.
    window.TypeText(QByteArray("NEW\n") + QByteArray::fromStdString(listing));
    for (int i = 0; i < 3000; ++i)
        window.RunFrame();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, 9, 0, 0, "\x1B");
    QCoreApplication::sendEvent(window.Screen(), &escape);
    QVERIFY(!window.Typing() && !window.Pacer().Unpaced());
    window.TypeText(QByteArray::fromStdString("\n" + BasicListing::SaveCommand("PART")));
    while (window.Typing())
        window.RunFrame();
    Tick(window, 1500);
    const QStringList whole = Lines(listing), part = Lines(Saved(rig, "PART"));
    QVERIFY2(part.size() > 10 && part.size() < whole.size() / 2, qPrintable(QString::number(part.size())));
    for (int i = 0; i < part.size(); ++i)
        QVERIFY2(i + 1 < part.size() ? part[i] == whole[i] : whole[i].startsWith(part[i]), qPrintable(part[i]));
    QVERIFY(rig.messenger.texts.isEmpty());

    // Characters the machine cannot type are counted once, when the typing ends.
    window.TypeText("REM \xE2\x82\xAC\xE2\x82\xAC\n");
    while (window.Typing())
        window.RunFrame();
    QTRY_COMPARE(rig.messenger.texts, QStringList("2 characters could not be typed and were skipped!"));
    // A file that cannot be read types nothing and says so.
    Drop(window, QString::fromStdString(rig.folder.File("missing.bas")));
    QVERIFY(!window.Typing());
    QCOMPARE(rig.messenger.texts.size(), 2);
}

void ShellTest::KeyboardModeMenuAndMapKeepTheirSettingsApart()
{
    TestRig rig;
    QSettings(TEST_COMPANY, TEST_APPLICATION).setValue("Keyboard/Mode", "character");
    QVERIFY(rig.app.Startup());
    CMainWnd& window = rig.Window();
    rig.poster.SetTarget(nullptr);
    QCOMPARE(window.KeyboardMode(), CHostKeyMapper::Mode::Character);
    QStringList items;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (QAction* action : menu->actions())
            items << action->text() + (action->isChecked() ? "*" : "") + action->shortcut().toString();
        for (QAction* action : menu->actions())
            if (action->text() == "Keys by position" || action->text() == "Keyboard map")
                action->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&window, &event);
    QCOMPARE(items.mid(0, 4), QStringList({"PasteAlt+V", "Keyboard map", "Keys by position", "Keys by character*"}));
    QCOMPARE(items.back(), QString("About..."));
    QCOMPARE(window.KeyboardMode(), CHostKeyMapper::Mode::Position);
    // The map shows the picture the build drew.
    QVERIFY(window.KeyMap() && window.KeyMap()->isVisible());
    const QLabel* picture = window.KeyMap()->findChild<QLabel*>();
    QVERIFY(picture && picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32) ==
                           QImage(CKeyMapDlg::IMAGE).convertToFormat(QImage::Format_RGB32));

    // The menu's choice is kept in a group of its own; one for this run only (as from the
    // command line) is not. Typing by character turns the machine's Caps Lock off.
    rig.app.Keyboard().KeyDown(CKeyboard::SCAN_CAPS_LOCK);
    window.SetKeyboardMode(CHostKeyMapper::Mode::Character, false);
    QVERIFY(!rig.app.Keyboard().CapsLockOn());
    QSettings settings(TEST_COMPANY, TEST_APPLICATION);
    QCOMPARE(settings.value("Keyboard/Mode").toString(), QString("position"));
    QCOMPARE(settings.childGroups(), QStringList("Keyboard"));
}

void ShellTest::KeyboardMapAgreesWithTheTranslatorAndTheCommittedPicture()
{
    // Every key the translator knows is on the map, and each legend is what the key types.
    QSet<int> onMap;
    for (const CKeyMapPainter::Place& place : CKeyMapPainter::Places()) {
        onMap << place.scan;
        const CKeyMapPainter::Legend legend = CKeyMapPainter::LegendOf(place.scan);
        const std::pair<std::uint8_t, std::vector<std::uint8_t>> planes[] = {
            {legend.plain, {}}, {legend.shift, {0x2A}}, {legend.ctrl, {0x1D}}, {legend.ctrlShift, {0x1D, 0x36}},
            {legend.caps ? legend.shift : legend.plain, {0x3A}}};
        for (const auto& [code, modifiers] : planes) {
            MachineRig rig;
            CKeyboard keyboard(rig.bus, rig.cpu);
            keyboard.Init();
            for (std::uint8_t m : modifiers)
                keyboard.KeyDown(m);
            rig.cpu.pendingEvents = 0;
            keyboard.KeyDown(place.scan);
            const bool typed = (rig.cpu.pendingEvents & CCpu::EVENT_INT) != 0;
            const QString where = QString::asprintf("key %02X, modifiers %d", place.scan, int(modifiers.size()));
            QVERIFY2(typed == (code != CKeyboard::NO_CODE), qPrintable(where));
            QVERIFY2(!typed || (rig.bus.ReadPort(56) & 0x7F) == code, qPrintable(where));
            // The characters on the map are typed by character on that key too.
            if (modifiers.size() < 2 && code >= 0x21 && code < 0x7F && modifiers != std::vector<std::uint8_t>{0x1D}) {
                const auto stroke = CTypist::StrokeFor(code);
                QVERIFY2(stroke && CKeyboard::PositionOf(stroke->scan) == CKeyboard::PositionOf(place.scan), qPrintable(where));
            }
        }
    }
    for (int scan = 0; scan < CKeyboard::SCAN_CODES; ++scan)
        QVERIFY2(CKeyboard::PositionOf(std::uint8_t(scan)) == 0 || onMap.contains(scan), qPrintable(QString::number(scan, 16)));

    // The picture in the README and the one the program carries are the map drawn now.
    std::ifstream source(VORLIX_SOURCE_DIR "/assets/font.txt");
    CFontSheet font;
    std::string error;
    QVERIFY(font.Parse(source, error));
    const QImage drawn = CKeyMapPainter(font).Draw();
    const QImage committed(VORLIX_SOURCE_DIR "/docs/keyboard-map.png");
    QVERIFY2(committed.convertToFormat(drawn.format()) == drawn,
             "docs/keyboard-map.png is out of date: copy build/shell/keymap/keyboard-map.png over it");
    QVERIFY(QImage(CKeyMapDlg::IMAGE).convertToFormat(drawn.format()) == drawn);
}
