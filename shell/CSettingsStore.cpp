#include "shell/CSettingsStore.h"

#include <limits>

#include <QSettings>

#include "core/Settings.h"

namespace {

const QString SECTION = QStringLiteral("Config");

// Values are 32-bit integers. One outside that range is unreadable, like text: cut down to 32
// bits, 4294967296 would read as 0 and turn an append into a replace.
int ReadInt(const QSettings& store, const QString& name, int fallback)
{
    bool ok = false;
    const qlonglong value = store.value(name).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(value);
}

}  // namespace

CSettingsStore::CSettingsStore(QString company, QString application)
    : company(std::move(company)), application(std::move(application))
{
}

void CSettingsStore::Read(Settings& settings) const
{
    QSettings store(company, application);
    store.beginGroup(SECTION);
    const QVariant folder = store.value(QStringLiteral("FileFolder"));
    if (folder.canConvert<QString>())
        settings.fileFolder = folder.toString().toStdString();
    const QVariant destination = store.value(QStringLiteral("PrintDestination"));
    if (destination.canConvert<QString>())
        settings.printDestination = destination.toString().toStdString();
    settings.printAppend = ReadInt(store, QStringLiteral("PrintAppend"), settings.printAppend);
    settings.printTranslate = ReadInt(store, QStringLiteral("PrintTranslate"), settings.printTranslate);
    settings.emulatorSpeed = ReadInt(store, QStringLiteral("EmulatorSpeed"), settings.emulatorSpeed);
}

// A fresh store object for every write: QSettings keeps the first error it met, so a shared
// object would report every later write as failed too.
bool CSettingsStore::WriteString(const QString& name, const QString& value) const
{
    QSettings store(company, application);
    store.beginGroup(SECTION);
    store.setValue(name, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool CSettingsStore::WriteInt(const QString& name, int value) const
{
    QSettings store(company, application);
    store.beginGroup(SECTION);
    store.setValue(name, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

void CSettingsStore::Write(const Settings& settings, const std::function<void(const QString&)>& onFailure) const
{
    const QString stringFailed = QStringLiteral("WriteProfileString failed!");
    const QString intFailed = QStringLiteral("WriteProfileInt failed!");
    if (!WriteString(QStringLiteral("FileFolder"), QString::fromStdString(settings.fileFolder)))
        onFailure(stringFailed);
    if (!WriteString(QStringLiteral("PrintDestination"), QString::fromStdString(settings.printDestination)))
        onFailure(stringFailed);
    if (!WriteInt(QStringLiteral("PrintAppend"), settings.printAppend))
        onFailure(intFailed);
    if (!WriteInt(QStringLiteral("PrintTranslate"), settings.printTranslate))
        onFailure(intFailed);
    if (!WriteInt(QStringLiteral("EmulatorSpeed"), settings.emulatorSpeed))
        onFailure(intFailed);
}

QVariant CSettingsStore::ReadValue(const QString& group, const QString& name) const
{
    QSettings store(company, application);
    store.beginGroup(group);
    return store.value(name);
}

bool CSettingsStore::WriteValue(const QString& group, const QString& name, const QVariant& value) const
{
    QSettings store(company, application);
    store.beginGroup(group);
    store.setValue(name, value);
    store.sync();
    return store.status() == QSettings::NoError;
}
