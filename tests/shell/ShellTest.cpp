#include "ShellTest.h"

#include <QFile>
#include <QSettings>

void MachineFiles::WriteTo(const TempFolder& folder) const
{
    if (roms) {
        std::vector<std::uint8_t> basic(basicSize, 0x00);
        basic[0] = 0x18;
        basic[1] = 0xFE;
        folder.Write("basic.rom", basic);
        folder.Write("dev_dos.rom", 4096, 0xC9);
        folder.Write("dev_pr.rom", 2048, 0xC9);
    }
    if (font)
        folder.Write("font.bin", 2560, 0x00);
    for (const char* name : {"noise.snd", "vco_hi.snd", "vco_lo.snd", "vco_slf.snd", "slf.snd"})
        if (samples)
            folder.Write(name, 4000, 0x80);
}

void TestRig::PointSettingsAt(const QString& path)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
}

void TestRig::MakeSettingsUnwritable()
{
    QFile blocker(settingsDir.filePath("blocker"));
    if (blocker.open(QIODevice::WriteOnly))
        blocker.write("not a folder");
    PointSettingsAt(blocker.fileName());
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}
