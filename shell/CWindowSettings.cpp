#include "shell/CWindowSettings.h"

#include <QSettings>

namespace {

const QString GROUP = QStringLiteral("Window");

}  // namespace

CWindowSettings::CWindowSettings(QString company, QString application)
    : company(std::move(company)), application(std::move(application))
{
}

void CWindowSettings::Read(WindowChoices& choices) const
{
    QSettings store(company, application);
    store.beginGroup(GROUP);
    bool ok = false;
    const int zoom = store.value(QStringLiteral("Zoom")).toInt(&ok);
    if (ok && zoom >= 1 && zoom <= MAX_ZOOM)
        choices.zoom = zoom;
    const int fullScreen = store.value(QStringLiteral("FullScreen")).toInt(&ok);
    if (ok && (fullScreen == 0 || fullScreen == 1))
        choices.fullScreen = fullScreen == 1;
    const int mute = store.value(QStringLiteral("Mute")).toInt(&ok);
    if (ok && (mute == 0 || mute == 1))
        choices.mute = mute == 1;
}

void CWindowSettings::Write(const QString& name, int value) const
{
    QSettings store(company, application);
    store.beginGroup(GROUP);
    store.setValue(name, value);
}
