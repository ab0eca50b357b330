#include "shell/CWindowSettings.h"

#include "shell/CScreenWnd.h"
#include "shell/CSettingsStore.h"

namespace {

const QString GROUP = QStringLiteral("Window");

// A stored 0 or 1 as a choice; anything else keeps the choice.
void ReadFlag(const CSettingsStore& store, const QString& name, bool& choice)
{
    bool ok = false;
    const int value = store.ReadValue(GROUP, name).toInt(&ok);
    if (ok && (value == 0 || value == 1))
        choice = value == 1;
}

}  // namespace

void CWindowSettings::Read(WindowChoices& choices) const
{
    bool ok = false;
    const int zoom = store.ReadValue(GROUP, QStringLiteral("Zoom")).toInt(&ok);
    if (ok && zoom >= 1 && zoom <= CScreenWnd::MAX_ZOOM)
        choices.zoom = zoom;
    ReadFlag(store, QStringLiteral("FullScreen"), choices.fullScreen);
    ReadFlag(store, QStringLiteral("Mute"), choices.mute);
}

void CWindowSettings::Write(const QString& name, int value) const
{
    store.WriteValue(GROUP, name, value);
}
