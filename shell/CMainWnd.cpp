#include "shell/CMainWnd.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "core/CEmuApp.h"
#include "core/CTextFile.h"
#include "shell/CAboutDlg.h"
#include "shell/CConfigDlg.h"
#include "shell/CEventPoster.h"
#include "shell/CKeyMapDlg.h"
#include "shell/CMessenger.h"
#include "shell/CScreenWnd.h"
#include "shell/CSettingsStore.h"
#include "shell/ShellEvents.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// The window-menu command of the about box, compared exactly.
constexpr unsigned IDM_ABOUT = 106;

}  // namespace
#endif

CMainWnd::CMainWnd(CEmuApp& app, const CSettingsStore& store, CMessenger& messenger, CEventPoster& poster,
                   std::chrono::milliseconds tickPeriod)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      app(app),
      store(store),
      messenger(messenger),
      poster(poster),
      keyboardLink(app.Keyboard()),
      ticks(tickPeriod),
      pacer([this] { return RunFrame(); }, [this] { ShowFrame(); }),
      paster(app.Keyboard(), app.Cpu(), pacer)
{
    setWindowTitle(QStringLiteral("Vorlix"));
    setAttribute(Qt::WA_QuitOnClose);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

CMainWnd::~CMainWnd()
{
    ticks.Stop();
    poster.SetTarget(nullptr);
    // The screen goes before the keyboard link it calls: hiding this window later would
    // otherwise report its focus loss through a link that no longer exists.
    delete screenWnd;
    screenWnd = nullptr;
}

bool CMainWnd::Create()
{
    screenWnd = new CScreenWnd(app.Display(), &keyboardLink, this);
    // Whatever gives this window the focus passes it on to the screen, the only key receiver.
    setFocusProxy(screenWnd);
    screenWnd->setFocus();

    const QRect r = screenWnd->geometry();
    resetButton = AddButton(QStringLiteral("Reset"), 0);
    configButton = AddButton(QStringLiteral("Config"), BUTTON_HEIGHT);
    exitButton = AddButton(QStringLiteral("Exit"), 2 * BUTTON_HEIGHT);
    filler = new QWidget(this);
    filler->setGeometry(r.right() + 1, 3 * BUTTON_HEIGHT, BUTTON_WIDTH, r.height() - 3 * BUTTON_HEIGHT);
    filler->setBackgroundRole(QPalette::Base);
    filler->setAutoFillBackground(true);

    connect(resetButton, &QPushButton::clicked, this, [this] { OnReset(); });
    connect(configButton, &QPushButton::clicked, this, [this] { OnConfig(); });
    connect(exitButton, &QPushButton::clicked, this, [this] { OnExit(); });

    // Typing in: a key pressed meanwhile stops it, and is not typed itself.
    paster.SetDoneHandler([this](std::size_t skipped) { OnTypingDone(skipped); });
    screenWnd->SetPressHook([this] {
        if (!paster.Busy())
            return false;
        paster.Cancel();
        return true;
    });
    pasteAction = new QAction(QStringLiteral("Paste"), this);
    pasteAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_V));
    connect(pasteAction, &QAction::triggered, this, [this] { OnPaste(); });
    addAction(pasteAction);
    setAcceptDrops(true);
    CHostKeyMapper::Mode mode = CHostKeyMapper::Mode::Position;
    ModeFromName(store.ReadValue(KEYBOARD_GROUP, KEYBOARD_MODE).toString(), mode);
    screenWnd->SetKeyboardMode(mode);

    setFixedSize(r.width() + BUTTON_WIDTH, r.height());
    if (QScreen* display = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }

    poster.SetTarget(this);
    return ticks.Start([this] { poster.Post(WM_EMU_TICK); });
}

QPushButton* CMainWnd::AddButton(const QString& text, int top)
{
    auto* button = new QPushButton(text, this);
    button->setGeometry(screenWnd->geometry().right() + 1, top, BUTTON_WIDTH, BUTTON_HEIGHT);
    // The buttons never take the focus, so keys keep reaching the screen.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

int CMainWnd::OnEmuTick()
{
    return pacer.OnTick();
}

bool CMainWnd::RunFrame()
{
    if (!runEnabled)
        return false;
    paster.BeforeSlice();
    app.RunSlice();
    ++framesUnshown;
    return true;
}

void CMainWnd::ShowFrame()
{
    // Unpaced, many slices run between two paints: only the last one's image is rendered.
    screenWnd->UpdateImage(framesUnshown);
    framesUnshown = 0;
    screenWnd->update();
}

void CMainWnd::OnPaste()
{
    TypeText(QGuiApplication::clipboard()->text().toUtf8());
}

void CMainWnd::TypeText(const QByteArray& text, bool waitForPrompt)
{
    paster.Type(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), waitForPrompt);
}

void CMainWnd::OnTypingDone(std::size_t skipped)
{
    if (skipped == 0)
        return;
    // Not from inside the slice that noticed the end: the box runs an event loop of its own.
    const QString text = skipped == 1 ? QStringLiteral("1 character could not be typed and was skipped!")
                                      : QStringLiteral("%1 characters could not be typed and were skipped!").arg(skipped);
    QTimer::singleShot(0, this, [this, text] { messenger.Show(this, text); });
}

void CMainWnd::OnKeyboardMap()
{
    if (!keyMap)
        keyMap = new CKeyMapDlg(this);
    keyMap->show();
    keyMap->raise();
}

const char* CMainWnd::ModeName(CHostKeyMapper::Mode mode)
{
    return mode == CHostKeyMapper::Mode::Character ? "character" : "position";
}

bool CMainWnd::ModeFromName(const QString& name, CHostKeyMapper::Mode& mode)
{
    for (CHostKeyMapper::Mode m : {CHostKeyMapper::Mode::Position, CHostKeyMapper::Mode::Character}) {
        if (name == QLatin1String(ModeName(m))) {
            mode = m;
            return true;
        }
    }
    return false;
}

CHostKeyMapper::Mode CMainWnd::KeyboardMode() const
{
    return screenWnd->KeyboardMode();
}

void CMainWnd::SetKeyboardMode(CHostKeyMapper::Mode mode, bool keep)
{
    if (mode != screenWnd->KeyboardMode())
        screenWnd->SetKeyboardMode(mode);
    if (keep && !store.WriteValue(KEYBOARD_GROUP, KEYBOARD_MODE, QString::fromLatin1(ModeName(mode))))
        messenger.Show(this, QStringLiteral("WriteProfileString failed!"));
}

void CMainWnd::OnReset()
{
    app.ResetMachine();
    setFocus();
}

void CMainWnd::OnExit()
{
    QCoreApplication::exit(0);
    setFocus();
}

void CMainWnd::OnConfig()
{
    CConfigDlg dialog(messenger, this);
    runEnabled = false;
    Settings& settings = app.Config();
    dialog.SetValues(settings);
    if (dialog.exec() == QDialog::Accepted) {
        dialog.GetValues(settings);
        store.Write(settings, [this](const QString& text) { messenger.Show(this, text); });
    }
    setFocus();
    runEnabled = true;
}

void CMainWnd::OnAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainWnd::AppendAboutItem()
{
#ifdef _WIN32
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, L"About...");
#endif
}

bool CMainWnd::event(QEvent* event)
{
    if (event->type() == WM_EMU_TICK) {
        OnEmuTick();
        return true;
    }
    if (event->type() == WM_WAVE_DONE) {
        if (waveDone)
            waveDone();
        return true;
    }
    return QWidget::event(event);
}

void CMainWnd::contextMenuEvent(QContextMenuEvent* event)
{
#ifdef _WIN32
    // There the item lives in the window menu.
    QWidget::contextMenuEvent(event);
#else
    QMenu menu(this);
    menu.addAction(pasteAction);
    menu.addAction(QStringLiteral("Keyboard map"), this, [this] { OnKeyboardMap(); });
    auto* modes = new QActionGroup(&menu);
    const std::pair<CHostKeyMapper::Mode, QString> items[] = {
        {CHostKeyMapper::Mode::Position, QStringLiteral("Keys by position")},
        {CHostKeyMapper::Mode::Character, QStringLiteral("Keys by character")}};
    for (const auto& [mode, text] : items) {
        QAction* action = menu.addAction(text, this, [this, m = mode] { SetKeyboardMode(m, true); });
        action->setCheckable(true);
        action->setChecked(KeyboardMode() == mode);
        modes->addAction(action);
    }
    menu.addSeparator();
    for (const QPointer<QAction>& action : menuActions)
        if (action)
            menu.addAction(action);
    menu.addSeparator();
    menu.addAction(QStringLiteral("About..."), this, [this] { OnAbout(); });
    menu.exec(event->globalPos());
#endif
}

void CMainWnd::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void CMainWnd::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    std::string text, error;
    if (CTextFile::Read(QFile::encodeName(urls.front().toLocalFile()).toStdString(), text, error))
        TypeText(QByteArray::fromStdString(text));
    else
        messenger.Show(this, QStringLiteral("The file cannot be typed in: %1!").arg(QString::fromLocal8Bit(error)));
}

void CMainWnd::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::exit(0);
}

#ifdef _WIN32
bool CMainWnd::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND && msg->wParam == IDM_ABOUT) {
        OnAbout();
        *result = 0;
        return true;
    }
    return QWidget::nativeEvent(eventType, message, result);
}
#endif
