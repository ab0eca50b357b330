// The per-user settings store: company "Quentra", the application name, section "Config".
// The shell reads the five values once at start-up; the configuration dialog's OK writes them
// back one by one, each write checked by syncing the store and looking at its status.
#pragma once

#include <functional>

#include <QString>

struct Settings;

class CSettingsStore {
public:
    static constexpr int MAX_FILE_FOLDER = 255;

    CSettingsStore(QString company, QString application);

    // Missing or unreadable values keep the defaults already in `settings`.
    void Read(Settings& settings) const;
    // Writes "FileFolder", "PrintDestination", "PrintAppend", "PrintTranslate" and
    // "EmulatorSpeed" in that order. Each failed write calls onFailure with its message and
    // the remaining writes go on.
    void Write(const Settings& settings, const std::function<void(const QString&)>& onFailure) const;

    bool WriteString(const QString& name, const QString& value) const;
    bool WriteInt(const QString& name, int value) const;

private:
    QString company;
    QString application;
};
