// The per-user settings store: company "Quentra", the application name, section "Config".
// The shell reads the five values once at start-up; the configuration dialog's OK writes them
// back one by one, each write checked by syncing the store and looking at its status.
#pragma once

#include <functional>

#include <QString>
#include <QVariant>

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

    // The additions' own values, each kept in a group of its own beside "Config". Reading a
    // missing value gives an invalid QVariant; writing returns false when it failed.
    QVariant ReadValue(const QString& group, const QString& name) const;
    bool WriteValue(const QString& group, const QString& name, const QVariant& value) const;

private:
    QString company;
    QString application;
};
