// The emulator's main window: the screen on the left, the "Reset", "Config" and "Exit"
// column on the right, "About..." in its context menu, with Paste, the keyboard map and the
// keyboard mode beside it. It receives the 20 ms ticks from its tick source and runs one
// slice of the machine for each (or slices back to back while text is being typed in), and
// passes the wave output's finished buffers on. The desktop shell creates it during start-up
// and deletes it at the end.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "host/CTickSource.h"
#include "shell/CHostKeyMapper.h"
#include "shell/CKeyboardLink.h"
#include "shell/CPacer.h"
#include "shell/CPaster.h"

class CEmuApp;
class CEventPoster;
class CKeyMapDlg;
class CMessenger;
class CScreenWnd;
class CSettingsStore;
class QPushButton;

class CMainWnd : public QWidget {
public:
    static constexpr int BUTTON_WIDTH = 60;
    static constexpr int BUTTON_HEIGHT = 40;
    // Where the keyboard mode is kept, beside the "Config" group.
    static constexpr const char* KEYBOARD_GROUP = "Keyboard";
    static constexpr const char* KEYBOARD_MODE = "Mode";

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
    // One slice (with the typing before it), as a tick runs it; false, doing nothing, while
    // the flag is off. The pacer then shows the image of the last slice run.
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
    // Types the clipboard's text into the machine.
    void OnPaste();
    void OnKeyboardMap();

    // Types UTF-8 text in as Paste does; with waitForPrompt, once the machine's software
    // shows its first prompt.
    void TypeText(const QByteArray& text, bool waitForPrompt = false);
    bool Typing() const { return paster.Busy(); }
    // Switches the keyboard mode, and keeps it in the settings store when `keep` is set.
    void SetKeyboardMode(CHostKeyMapper::Mode mode, bool keep);
    CHostKeyMapper::Mode KeyboardMode() const;
    // A mode's name in the settings store and on the command line.
    static const char* ModeName(CHostKeyMapper::Mode mode);
    static bool ModeFromName(const QString& name, CHostKeyMapper::Mode& mode);

    QAction* PasteAction() const { return pasteAction; }
    CKeyMapDlg* KeyMap() const { return keyMap; }

    CScreenWnd* Screen() const { return screenWnd; }
    QPushButton* ResetButton() const { return resetButton; }
    QPushButton* ConfigButton() const { return configButton; }
    QPushButton* ExitButton() const { return exitButton; }
    QWidget* Filler() const { return filler; }

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    QPushButton* AddButton(const QString& text, int top);
    void OnTypingDone(std::size_t skipped);
    void ShowFrame();

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
    std::uint32_t framesUnshown = 0;  // slices run since the last image
    CPaster paster;
    QAction* pasteAction = nullptr;
    CKeyMapDlg* keyMap = nullptr;

    CScreenWnd* screenWnd = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* configButton = nullptr;
    QPushButton* exitButton = nullptr;
    QWidget* filler = nullptr;
};
