// What the window offers beyond its screen and three buttons: zoom 1x to 4x and full screen,
// screenshots, sound recording, pause, mute and warp. Each is an action of the context menu with
// an Alt shortcut (or F11, and Escape to leave full screen: keys the machine does not have), so
// the plain window (1x, paced, sound on) stays as it is until the user asks. Zoom, full screen and mute are kept in
// the settings store's "Window" group. The desktop shell makes it a child of the main window
// as soon as the window exists, so it goes with the window.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

#include "shell/CSoundRecorder.h"
#include "shell/CScreenWnd.h"
#include "shell/CWindowSettings.h"

class CMainWnd;
class CSound;
class QAction;
class QLabel;
class QMenu;

// Where screenshots and recordings go: by default the user's pictures and music folders.
struct CaptureFolders {
    QString pictures;
    QString music;
    static CaptureFolders Standard();
};

class CWindowExtras : public QObject {
public:
    static constexpr int NOTE_MS = 4000;

    // Applies the choices to the hidden window (zoom, full screen, mute) without storing them.
    // `settings` may be null: then nothing is stored.
    CWindowExtras(CMainWnd& window, CSound& sound, const CWindowSettings* settings, const WindowChoices& choices,
                  CaptureFolders folders);
    ~CWindowExtras() override;

    void SetZoom(int zoom);
    void SetFullScreen(bool on);
    // Saves the screen as a PNG at the current zoom and shows a note; returns its path, or
    // an empty string when it could not be saved.
    QString SaveScreenshot();
    void SetRecording(bool on);
    void SetPaused(bool on);
    void SetMuted(bool on);
    void SetWarp(bool on);

    int Zoom() const { return choices.zoom; }
    bool FullScreen() const { return choices.fullScreen; }
    bool Muted() const { return choices.mute; }
    bool Recording() const { return recorder.Recording(); }
    QString RecordingPath() const { return recordingPath; }
    // The note on show, empty when none.
    QString Note() const;
    // What the caption says: "Vorlix", "Vorlix - paused" or "Vorlix - warp 123.4 MHz".
    QString Caption() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(const QString& text, QList<QKeySequence> keys, bool checkable);
    void Refresh();
    void ShowNote(const QString& text);

    CMainWnd& window;
    CSound& sound;
    const CWindowSettings* settings;
    WindowChoices choices;
    CaptureFolders folders;
    CSoundRecorder recorder;
    QString recordingPath;

    QMenu* zoomMenu = nullptr;
    QAction* zoomActions[CScreenWnd::MAX_ZOOM] = {};
    QAction* fullScreenAction = nullptr;
    QAction* leaveAction = nullptr;
    QAction* recordAction = nullptr;
    QAction* pauseAction = nullptr;
    QAction* muteAction = nullptr;
    QAction* warpAction = nullptr;
    QLabel* note = nullptr;
    QTimer noteTimer;
    QPoint normalPosition;  // where the window stood before full screen
    bool screenWatched = false;
};
