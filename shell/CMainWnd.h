// The emulator's main window: the screen on the left, the "Reset", "Config" and "Exit"
// column on the right, "About..." in its context menu. It receives the 20 ms ticks from its
// tick source and runs one slice of the machine for each, and passes the wave output's
// finished buffers on. The desktop shell creates it during start-up and deletes it at the end.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "host/CTickSource.h"
#include "shell/CKeyboardLink.h"
#include "shell/CPacer.h"

class CEmuApp;
class CEventPoster;
class CMessenger;
class CScreenWnd;
class CSettingsStore;
class QPushButton;

class CMainWnd : public QWidget {
public:
    static constexpr int BUTTON_WIDTH = 60;
    static constexpr int BUTTON_HEIGHT = 40;

    CMainWnd(CEmuApp& app, const CSettingsStore& store, CMessenger& messenger, CEventPoster& poster,
             std::chrono::milliseconds tickPeriod);
    // Stops the tick source first: no tick may be posted to a window that is going away.
    // Then deletes the screen.
    ~CMainWnd() override;

    // Builds the screen and the buttons, sizes and centres the window (still hidden) and
    // starts the tick source. False when the tick source cannot be started.
    bool Create();

    // One tick: a slice of the machine and a new screen image, unless the run flag is off or
    // the pacer runs the machine otherwise (paused, unpaced). Returns 0 when it did nothing.
    int OnEmuTick();
    // One slice and its image, as a tick runs it; false, doing nothing, while the flag is off.
    bool RunFrame();
    CPacer& Pacer() { return pacer; }
    // Actions the context menu offers above "About...".
    void AddMenuAction(QAction* action) { menuActions.push_back(action); }
    // Ticks run slices only from now on: start-up has initialised every component.
    void EnableRun() { runEnabled = true; }
    bool RunEnabled() const { return runEnabled; }

    void AppendAboutItem();
    // Called on this thread whenever the wave output has reported finished buffers.
    void SetWaveDoneHandler(std::function<void()> handler) { waveDone = std::move(handler); }

    void OnReset();
    void OnConfig();
    void OnExit();
    void OnAbout();

    CScreenWnd* Screen() const { return screenWnd; }
    QPushButton* ResetButton() const { return resetButton; }
    QPushButton* ConfigButton() const { return configButton; }
    QPushButton* ExitButton() const { return exitButton; }
    QWidget* Filler() const { return filler; }

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    QPushButton* AddButton(const QString& text, int top);

    CEmuApp& app;
    const CSettingsStore& store;
    CMessenger& messenger;
    CEventPoster& poster;
    CKeyboardLink keyboardLink;
    CTickSource ticks;
    CPacer pacer;
    std::vector<QPointer<QAction>> menuActions;
    std::function<void()> waveDone;
    bool runEnabled = false;
    bool aboutItem = false;

    CScreenWnd* screenWnd = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* configButton = nullptr;
    QPushButton* exitButton = nullptr;
    QWidget* filler = nullptr;
};
