// How the machine's slices are paced. Paced, each 20 ms tick runs one slice: the machine's own speed.
// Paused, nothing runs. Unpaced, while anyone asks for it (warp, text being pasted), slices run
// back to back from the event loop as fast as the host allows, in batches short enough that
// the screen is shown at least 10 times a second and keys and sound keep being served.
// The main window owns it and hands it every tick; the window's extras switch the modes.
#pragma once

#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CPacer : public QObject {
public:
    // Who asks to run unpaced; the machine runs unpaced while any of them does.
    enum Hurry : unsigned { WARP = 1, PASTE = 2 };
    // Wall time of one batch of unpaced slices, and how often the speed figure is renewed.
    static constexpr int BATCH_MS = 20;
    static constexpr int FIGURE_MS = 500;

    // `slice` runs one slice and renders its image; it returns false, having done nothing,
    // while the machine may not run (the configuration dialog is open). `show` repaints.
    CPacer(std::function<bool()> slice, std::function<void()> show);

    // One tick of the 20 ms source: a slice and a repaint when paced; 0 when it did nothing.
    int OnTick();

    void SetPaused(bool on);
    void SetHurry(Hurry who, bool on);
    bool Paused() const { return paused; }
    bool Hurried(Hurry who) const { return (hurry & who) != 0; }
    bool Unpaced() const { return !paused && hurry != 0; }
    // Emulated clock rate while unpaced, in MHz, over the last FIGURE_MS; 0 until measured.
    double Mhz() const { return mhz; }
    // Slices run since the pacer was made, paced or not.
    std::uint64_t Slices() const { return slices; }

    // Called after every change of mode and of the speed figure.
    void SetOnChange(std::function<void()> handler) { onChange = std::move(handler); }

private:
    void Update();
    void RunBatch();

    std::function<bool()> slice;
    std::function<void()> show;
    std::function<void()> onChange;
    bool paused = false;
    unsigned hurry = 0;
    QTimer batches;
    QElapsedTimer figureClock;
    std::uint64_t figureSlices = 0;
    std::uint64_t slices = 0;
    double mhz = 0;
};
