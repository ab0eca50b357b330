// The window's own choices, kept in the per-user store beside the machine's settings but in a
// group of their own, "Window", so the "Config" section stays as it is: the zoom, full screen
// and mute. Read once at start-up; each choice is written when the user changes it.
#pragma once

#include <QString>

class CSettingsStore;

struct WindowChoices {
    int zoom = 1;
    bool fullScreen = false;
    bool mute = false;
};

class CWindowSettings {
public:
    explicit CWindowSettings(const CSettingsStore& store) : store(store) {}

    // Missing or unusable values keep what `choices` holds; a zoom outside 1 to
    // CScreenWnd::MAX_ZOOM is unusable.
    void Read(WindowChoices& choices) const;
    // Failures are not reported: these are conveniences, and the window works without them.
    void WriteZoom(int zoom) const { Write(QStringLiteral("Zoom"), zoom); }
    void WriteFullScreen(bool on) const { Write(QStringLiteral("FullScreen"), on ? 1 : 0); }
    void WriteMute(bool on) const { Write(QStringLiteral("Mute"), on ? 1 : 0); }

private:
    void Write(const QString& name, int value) const;

    const CSettingsStore& store;
};
