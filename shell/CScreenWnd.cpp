#include "shell/CScreenWnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QKeyEvent>
#include <QPainter>

#include "shell/CKeyCodes.h"
#include "shell/CKeyTarget.h"

CScreenWnd::CScreenWnd(CDisplay& display, CKeyTarget* keys, QWidget* parent)
    : QFrame(parent),
      display(display),
      mapper(keys),
      repeatFilter([this](bool down, const HostKey& key) { Forward(down, key); })
{
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

void CScreenWnd::UpdateImage(std::uint32_t frames)
{
    if (frames > 1)
        display.SkipFrames(frames - 1);
    SetImage(display.Render());
}

void CScreenWnd::SetImage(const std::uint8_t* source)
{
    std::memcpy(bits.data(), source, bits.size());
    expandedStale = true;
}

int CScreenWnd::DeviceFactor(int zoom, qreal ratio)
{
    return std::max(1, int(std::floor(zoom * ratio + 0.5)));
}

void CScreenWnd::SetZoom(int zoom)
{
    SetFullScreen(false);
    const qreal ratio = devicePixelRatioF();
    const int factor = DeviceFactor(std::clamp(zoom, 1, MAX_ZOOM), ratio);
    // The fewest logical pixels that hold the image's device pixels.
    const int side = int(std::ceil(CDisplay::WIDTH * factor / ratio - 1e-6));
    setFixedSize(side + 2 * (MARGIN + EDGE), side + 2 * (MARGIN + EDGE));
}

void CScreenWnd::SetFullScreen(bool on)
{
    fullScreen = on;
    setFrameStyle(on ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
    setLineWidth(on ? 0 : EDGE);
    if (on) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    update();
}

QImage CScreenWnd::Picture(int zoom) const
{
    QImage picture(CDisplay::WIDTH * zoom, CDisplay::HEIGHT * zoom, QImage::Format_RGB32);
    CColourScreen::Expand(bits.data(), zoom, reinterpret_cast<std::uint32_t*>(picture.bits()),
                          std::size_t(picture.bytesPerLine()) / 4);
    return picture;
}

void CScreenWnd::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);  // the sunken edge
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.fillRect(client, Qt::black);

    // Drawn in device pixels at a whole factor, so that under fractional desktop scaling every
    // machine pixel is still a square of equal device pixels.
    const qreal ratio = devicePixelRatioF();
    const QRect area = fullScreen ? client : client.adjusted(MARGIN, MARGIN, -MARGIN, -MARGIN);
    const QRectF device(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
    const int factor =
        std::max(1, int(std::floor(std::min(device.width(), device.height()) / CDisplay::WIDTH + 1e-6)));
    const int side = CDisplay::WIDTH * factor;
    if (expandedStale || expanded.width() != side) {
        if (expanded.width() != side)
            expanded = QImage(side, side, QImage::Format_RGB32);
        CColourScreen::Expand(bits.data(), factor, reinterpret_cast<std::uint32_t*>(expanded.bits()),
                              std::size_t(expanded.bytesPerLine()) / 4);
        expandedStale = false;
    }
    painted = QRect(int(std::floor(device.x() + (device.width() - side) / 2 + 1e-6)),
                    int(std::floor(device.y() + (device.height() - side) / 2 + 1e-6)), side, side);
    painter.scale(1 / ratio, 1 / ratio);
    painter.drawImage(painted.topLeft(), expanded);
}

HostKey CScreenWnd::Describe(const QKeyEvent& event) const
{
    HostKey key;
    key.id = event.nativeScanCode();
    key.scan = CKeyCodes::FromNative(event.nativeScanCode());
    key.shift = (event.modifiers() & Qt::ShiftModifier) != 0;
    key.ctrl = (event.modifiers() & Qt::ControlModifier) != 0;
    // Only by character does the text count, and there only one printable character.
    const QList<uint> text = event.text().toUcs4();
    if (mapper.GetMode() == CHostKeyMapper::Mode::Character && text.size() == 1 && text[0] >= 0x20 && text[0] != 0x7F)
        key.character = static_cast<char32_t>(text[0]);
    return key;
}

void CScreenWnd::keyPressEvent(QKeyEvent* event)
{
    const HostKey key = Describe(*event);
    // Alt combinations, Alt itself and F10 are the window system's keys, never the machine's.
    const bool systemKey = (event->modifiers() & Qt::AltModifier) != 0 || key.scan == CKeyCodes::SCAN_ALT ||
                           key.scan == CKeyCodes::SCAN_F10;
    if ((key.scan == CKeyCodes::NONE && key.character == 0) || systemKey) {
        releaseTimer.stop();
        repeatFilter.Flush();
        event->ignore();
        return;
    }
    releaseTimer.stop();
    repeatFilter.Press(key, event->timestamp());
    event->accept();
}

void CScreenWnd::keyReleaseEvent(QKeyEvent* event)
{
    const HostKey key = Describe(*event);
    if (key.scan == CKeyCodes::NONE && !repeatFilter.IsHeld(key.id)) {
        event->ignore();
        return;
    }
    if (repeatFilter.Release(key, event->timestamp()))
        releaseTimer.start();
    event->accept();
}

void CScreenWnd::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    releaseTimer.stop();
    repeatFilter.Forget();
    mapper.FocusLost();
}

bool CScreenWnd::focusNextPrevChild(bool)
{
    return false;
}

void CScreenWnd::Forward(bool down, const HostKey& key)
{
    if (!down)
        mapper.Release(key);
    else if (!(pressHook && pressHook()))
        mapper.Press(key);
}
