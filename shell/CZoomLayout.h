// Lays out the main window for a zoom or for full screen. Zoomed, the screen grows and the
// button column keeps its size, moved to the screen's right edge, with the filler below it;
// the window fits around them. In full screen the buttons and the filler are hidden and the
// screen takes the whole window. The window's extras call it when the user changes either.
#pragma once

class CMainWnd;

class CZoomLayout {
public:
    static void Apply(CMainWnd& window, int zoom);
    // Prepares the children for full screen; the caller then shows the window full screen.
    static void ApplyFullScreen(CMainWnd& window);
    // In full screen, after the window's size changed: the screen fills it again.
    static void Fill(CMainWnd& window);
};
