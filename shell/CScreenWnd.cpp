#include "shell/CScreenWnd.h"

#include <cstring>

#include <QKeyEvent>
#include <QPainter>

#include "shell/CKeyCodes.h"
#include "shell/CKeyTarget.h"

CScreenWnd::CScreenWnd(CDisplay& display, CKeyTarget* keys, QWidget* parent)
    : QFrame(parent),
      display(display),
      keys(keys),
      image(bits.data(), CDisplay::WIDTH, CDisplay::HEIGHT, CDisplay::STRIDE, QImage::Format_Mono),
      repeatFilter([this](bool down, std::uint8_t scan) { Forward(down, scan); })
{
    image.setColorTable({CLEAR_COLOUR, SET_COLOUR});
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(EDGE);
    setFixedSize(CLIENT_SIZE + 2 * EDGE, CLIENT_SIZE + 2 * EDGE);
    move(0, 0);
    setFocusPolicy(Qt::StrongFocus);
    // Every paint covers the whole client area, so Qt need not erase it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    releaseTimer.setSingleShot(true);
    releaseTimer.setInterval(CRepeatFilter::RELEASE_HOLD_MS);
    connect(&releaseTimer, &QTimer::timeout, this, [this] { repeatFilter.Flush(); });
}

void CScreenWnd::UpdateImage()
{
    SetImage(display.Render());
}

void CScreenWnd::SetImage(const std::uint8_t* source)
{
    std::memcpy(bits.data(), source, bits.size());
}

void CScreenWnd::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);  // the sunken edge
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.fillRect(client, Qt::black);
    painter.drawImage(client.topLeft() + QPoint(1, 1), image);
}

void CScreenWnd::keyPressEvent(QKeyEvent* event)
{
    const std::uint8_t scan = CKeyCodes::FromNative(event->nativeScanCode());
    // Alt combinations, Alt itself and F10 are the window system's keys, never the machine's.
    const bool systemKey = (event->modifiers() & Qt::AltModifier) != 0 || scan == CKeyCodes::SCAN_ALT ||
                           scan == CKeyCodes::SCAN_F10;
    if (scan == CKeyCodes::NONE || systemKey) {
        releaseTimer.stop();
        repeatFilter.Flush();
        event->ignore();
        return;
    }
    releaseTimer.stop();
    repeatFilter.Press(event->nativeScanCode(), scan, event->timestamp());
    event->accept();
}

void CScreenWnd::keyReleaseEvent(QKeyEvent* event)
{
    const std::uint8_t scan = CKeyCodes::FromNative(event->nativeScanCode());
    if (scan == CKeyCodes::NONE) {
        event->ignore();
        return;
    }
    if (repeatFilter.Release(event->nativeScanCode(), scan, event->timestamp()))
        releaseTimer.start();
    event->accept();
}

void CScreenWnd::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    releaseTimer.stop();
    repeatFilter.Forget();
    if (keys)
        keys->FocusLost();
}

bool CScreenWnd::focusNextPrevChild(bool)
{
    return false;
}

void CScreenWnd::Forward(bool down, std::uint8_t scan)
{
    if (!keys)
        return;
    if (down)
        keys->KeyDown(scan);
    else
        keys->KeyUp(scan);
}
