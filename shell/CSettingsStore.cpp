#include "shell/CSettingsStore.h"

#include <QSettings>

#include "core/Settings.h"

namespace {

const QString SECTION = QStringLiteral("Config");

int ReadInt(const QSettings& store, const QString& name, int fallback)
{
    bool ok = false;
    const int value = store.value(name).toInt(&ok);
    return ok ? value : fallback;
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
