#include "shell/CWindowExtras.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>

#include "devices/CSound.h"
#include "shell/CCaptureFiles.h"
#include "shell/CMainWnd.h"
#include "shell/CScreenWnd.h"
#include "shell/CZoomLayout.h"

namespace {

QString Standard(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

QAction* Separator(QObject* parent)
{
    auto* action = new QAction(parent);
    action->setSeparator(true);
    return action;
}

}  // namespace

CaptureFolders CaptureFolders::Standard()
{
    return {::Standard(QStandardPaths::PicturesLocation), ::Standard(QStandardPaths::MusicLocation)};
}

CWindowExtras::CWindowExtras(CMainWnd& window, CSound& sound, const CWindowSettings* settings,
                             const WindowChoices& initial, CaptureFolders folders)
    : QObject(&window), window(window), sound(sound), settings(settings), folders(std::move(folders)), recorder(sound)
{
    zoomMenu = new QMenu(QStringLiteral("Zoom"), &window);
    auto* zoomGroup = new QActionGroup(this);
    for (int zoom = 1; zoom <= CScreenWnd::MAX_ZOOM; ++zoom) {
        QAction* action = AddAction(QStringLiteral("%1x").arg(zoom), {QKeySequence(Qt::ALT | (Qt::Key_0 + zoom))}, true);
        action->setActionGroup(zoomGroup);
        zoomMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, zoom] {
            SetZoom(zoom);
            if (this->settings)
                this->settings->WriteZoom(zoom);
        });
        zoomActions[zoom - 1] = action;
    }
    window.AddMenuAction(zoomMenu->menuAction());
    fullScreenAction = AddAction(QStringLiteral("Full screen"),
                                 {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter),
                                  QKeySequence(Qt::Key_F11)},
                                 true);
    connect(fullScreenAction, &QAction::triggered, this, [this](bool on) {
        SetFullScreen(on);
        if (this->settings)
            this->settings->WriteFullScreen(on);
    });
    window.AddMenuAction(fullScreenAction);
    // Escape leaves full screen; it is no key of the machine's, and outside full screen it goes on to it.
    leaveAction = new QAction(QStringLiteral("Leave full screen"), this);
    leaveAction->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(leaveAction, &QAction::triggered, this, [this] {
        SetFullScreen(false);
        if (this->settings)
            this->settings->WriteFullScreen(false);
    });
    window.addAction(leaveAction);
    window.AddMenuAction(Separator(this));

    QAction* screenshot = AddAction(QStringLiteral("Save screenshot"), {QKeySequence(Qt::ALT | Qt::Key_S)}, false);
    connect(screenshot, &QAction::triggered, this, [this] { SaveScreenshot(); });
    window.AddMenuAction(screenshot);
    recordAction = AddAction(QStringLiteral("Record sound"), {QKeySequence(Qt::ALT | Qt::Key_R)}, true);
    connect(recordAction, &QAction::triggered, this, [this](bool on) { SetRecording(on); });
    window.AddMenuAction(recordAction);
    window.AddMenuAction(Separator(this));

    pauseAction = AddAction(QStringLiteral("Pause"), {QKeySequence(Qt::ALT | Qt::Key_P)}, true);
    connect(pauseAction, &QAction::triggered, this, [this](bool on) { SetPaused(on); });
    muteAction = AddAction(QStringLiteral("Mute"), {QKeySequence(Qt::ALT | Qt::Key_M)}, true);
    connect(muteAction, &QAction::triggered, this, [this](bool on) {
        SetMuted(on);
        if (this->settings)
            this->settings->WriteMute(on);
    });
    warpAction = AddAction(QStringLiteral("Warp"), {QKeySequence(Qt::ALT | Qt::Key_W)}, true);
    connect(warpAction, &QAction::triggered, this, [this](bool on) { SetWarp(on); });
    for (QAction* action : {pauseAction, muteAction, warpAction})
        window.AddMenuAction(action);

    note = new QLabel(&window);
    note->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 200); color: white; padding: 3px;"));
    note->setWordWrap(true);
    note->hide();
    noteTimer.setSingleShot(true);
    connect(&noteTimer, &QTimer::timeout, note, &QWidget::hide);

    window.Pacer().SetOnChange([this] { Refresh(); });
    window.installEventFilter(this);

    SetZoom(initial.zoom);
    // Centred again at its zoomed size, as Create() centred it at its plain size.
    if (QScreen* display = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), window.size());
        frame.moveCenter(display->availableGeometry().center());
        window.move(frame.topLeft());
    }
    SetFullScreen(initial.fullScreen);
    SetMuted(initial.mute);
    Refresh();
}

CWindowExtras::~CWindowExtras()
{
    // The window is going: its pacer and widgets may not be called any more, the sound
    // generator (which outlives it) must forget the recorder and play again.
    recorder.Stop();
    sound.SetHeld(false);
    sound.SetMuted(false);
}

QAction* CWindowExtras::AddAction(const QString& text, QList<QKeySequence> keys, bool checkable)
{
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setCheckable(checkable);
    // Shortcuts act wherever the focus is in the window, the screen included.
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

void CWindowExtras::SetZoom(int zoom)
{
    choices.zoom = std::clamp(zoom, 1, CScreenWnd::MAX_ZOOM);
    zoomActions[choices.zoom - 1]->setChecked(true);
    if (!choices.fullScreen)
        CZoomLayout::Apply(window, choices.zoom);
}

void CWindowExtras::SetFullScreen(bool on)
{
    choices.fullScreen = on;
    fullScreenAction->setChecked(on);
    leaveAction->setEnabled(on);
    if (on) {
        if (!(window.windowState() & Qt::WindowFullScreen))
            normalPosition = window.pos();
        CZoomLayout::ApplyFullScreen(window);
        // Asked for directly too: without a window manager the state alone changes nothing.
        if (QScreen* screen = window.screen())
            window.setGeometry(screen->geometry());
        if (window.isVisible())
            window.showFullScreen();
        else
            window.setWindowState(window.windowState() | Qt::WindowFullScreen);
    } else if (window.windowState() & Qt::WindowFullScreen) {
        if (window.isVisible())
            window.showNormal();
        else
            window.setWindowState(window.windowState() & ~Qt::WindowFullScreen);
        CZoomLayout::Apply(window, choices.zoom);
        window.move(normalPosition);
    } else {
        CZoomLayout::Apply(window, choices.zoom);
    }
    window.Screen()->setFocus();
}

QString CWindowExtras::SaveScreenshot()
{
    const QString path = CCaptureFiles::NewPath(folders.pictures, QStringLiteral("png"));
    if (path.isEmpty() || !window.Screen()->Picture(choices.zoom).save(path, "PNG")) {
        ShowNote(QStringLiteral("Screenshot not saved: cannot write to %1").arg(folders.pictures));
        return {};
    }
    ShowNote(QStringLiteral("Screenshot saved to %1").arg(path));
    return path;
}

void CWindowExtras::SetRecording(bool on)
{
    if (on && !recorder.Recording()) {
        recordingPath = CCaptureFiles::NewPath(folders.music, QStringLiteral("wav"));
        if (!recordingPath.isEmpty() && recorder.Start(recordingPath.toStdString()))
            ShowNote(QStringLiteral("Recording sound to %1").arg(recordingPath));
        else
            ShowNote(QStringLiteral("Sound not recorded: cannot write to %1").arg(folders.music));
    } else if (!on && recorder.Recording()) {
        if (recorder.Stop())
            ShowNote(QStringLiteral("Sound saved to %1").arg(recordingPath));
        else
            ShowNote(QStringLiteral("Sound recording cut short: cannot write %1").arg(recordingPath));
    }
    recordAction->setChecked(recorder.Recording());
}

void CWindowExtras::SetPaused(bool on)
{
    window.Pacer().SetPaused(on);
}

void CWindowExtras::SetMuted(bool on)
{
    choices.mute = on;
    Refresh();
}

void CWindowExtras::SetWarp(bool on)
{
    window.Pacer().SetHurry(CPacer::WARP, on);
}

QString CWindowExtras::Caption() const
{
    const CPacer& pacer = window.Pacer();
    if (pacer.Paused())
        return QStringLiteral("Vorlix - paused");
    if (pacer.Hurried(CPacer::WARP)) {
        return pacer.Mhz() > 0 ? QStringLiteral("Vorlix - warp %1 MHz").arg(pacer.Mhz(), 0, 'f', 1)
                               : QStringLiteral("Vorlix - warp");
    }
    return QStringLiteral("Vorlix");
}

void CWindowExtras::Refresh()
{
    const CPacer& pacer = window.Pacer();
    // Paused, the sound stands still with the machine; unpaced, its sound would only be noise.
    sound.SetHeld(pacer.Paused());
    sound.SetMuted(choices.mute || pacer.Unpaced());
    pauseAction->setChecked(pacer.Paused());
    warpAction->setChecked(pacer.Hurried(CPacer::WARP));
    muteAction->setChecked(choices.mute);
    window.setWindowTitle(Caption());
}

QString CWindowExtras::Note() const
{
    return noteTimer.isActive() ? note->text() : QString();
}

void CWindowExtras::ShowNote(const QString& text)
{
    note->setText(text);
    const QRect screen = window.Screen()->geometry();
    note->setFixedWidth(screen.width());
    note->adjustSize();
    note->move(screen.left(), screen.bottom() + 1 - note->height());
    note->show();
    note->raise();
    noteTimer.start(NOTE_MS);
}

bool CWindowExtras::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window && event->type() == QEvent::Resize && choices.fullScreen)
        CZoomLayout::Fill(window);
    // On a screen with another scale the zoom needs other sizes to stay crisp.
    if (watched == &window && event->type() == QEvent::Show && !screenWatched && window.windowHandle()) {
        screenWatched = true;
        connect(window.windowHandle(), &QWindow::screenChanged, this, [this] {
            if (!choices.fullScreen)
                CZoomLayout::Apply(window, choices.zoom);
        });
    }
    return QObject::eventFilter(watched, event);
}
