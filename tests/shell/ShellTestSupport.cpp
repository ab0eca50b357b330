#include "ShellTestSupport.h"

#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QWidget>

#include "TempFolder.h"

void RecordingMessenger::Show(QWidget*, const QString& text)
{
    texts << text;
    bool visible = false;
    for (QWidget* widget : QApplication::topLevelWidgets())
        visible = visible || widget->isVisible();
    windowVisible.push_back(visible);
    if (onShow)
        onShow();
}

std::string RecordingKeys::Hex(std::uint8_t value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

void MachineFiles::WriteTo(const TempFolder& folder) const
{
    if (roms) {
        // An endless loop at 0: JR -2.
        std::vector<std::uint8_t> basic(basicSize, 0x00);
        if (basic.size() >= 2) {
            basic[0] = 0x18;
            basic[1] = 0xFE;
        }
        folder.Write("basic.rom", basic);
        folder.Write("dev_dos.rom", 4096, 0xC9);
        folder.Write("dev_pr.rom", 2048, 0xC9);
    }
    if (font)
        folder.Write("font.bin", 2560, 0x00);
    if (samples) {
        for (const char* name : {"noise.snd", "vco_hi.snd", "vco_lo.snd", "vco_slf.snd", "slf.snd"})
            folder.Write(name, 4000, 0x80);
    }
}

IsolatedSettings::IsolatedSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

IsolatedSettings::~IsolatedSettings() = default;

void IsolatedSettings::MakeUnwritable()
{
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    if (file.open(QIODevice::WriteOnly))
        file.write("not a folder");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker);
}
