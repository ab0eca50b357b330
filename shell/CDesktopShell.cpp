#include "shell/CDesktopShell.h"

#include <QString>

#include "core/CEmuApp.h"
#include "shell/CMainWnd.h"
#include "shell/CMessenger.h"
#include "shell/CSettingsStore.h"

CDesktopShell::CDesktopShell(const CSettingsStore& store, CMessenger& messenger, CWaveOut& waveOut,
                             CEventPoster& poster, std::chrono::milliseconds tickPeriod)
    : store(store), messenger(messenger), waveOut(waveOut), poster(poster), tickPeriod(tickPeriod)
{
}

CDesktopShell::~CDesktopShell()
{
    DestroyMainWindow();
}

void CDesktopShell::ReadSettings(Settings& settings)
{
    store.Read(settings);
}

bool CDesktopShell::CreateMainWindow()
{
    if (!app)
        return false;
    auto* window = new CMainWnd(*app, store, messenger, poster, tickPeriod);
    if (!window->Create()) {
        delete window;
        return false;
    }
    window->SetWaveDoneHandler(waveDone);
    mainWnd = window;
    if (windowCreated)
        windowCreated(*window);
    return true;
}

void CDesktopShell::DestroyMainWindow()
{
    delete mainWnd;
    mainWnd = nullptr;
}

void CDesktopShell::ShowMessage(const std::string& text)
{
    // During start-up the window is still hidden; the box then stands on its own.
    messenger.Show(mainWnd && mainWnd->isVisible() ? mainWnd : nullptr, QString::fromStdString(text));
}

void CDesktopShell::ExplainFailure(const std::string& line)
{
    messenger.Log(QString::fromStdString(line));
}

void CDesktopShell::AppendAboutItem()
{
    if (mainWnd)
        mainWnd->AppendAboutItem();
}

void CDesktopShell::ShowMainWindow()
{
    if (!mainWnd)
        return;
    // Normal, unless the user asked for full screen.
    if (mainWnd->windowState() & Qt::WindowFullScreen)
        mainWnd->showFullScreen();
    else
        mainWnd->showNormal();
    mainWnd->repaint();
}

void CDesktopShell::EnableRun()
{
    if (mainWnd)
        mainWnd->EnableRun();
}
