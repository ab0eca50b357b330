// The asset generator, run by the build: reads the drawn character set and writes
// "font.bin" and the five ".snd" samples into the given folder.
//
//   vorlix-mkassets assets/font.txt build/runtime
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "assets/CCharacterSet.h"
#include "assets/CFontSheet.h"
#include "assets/CSampleSynth.h"
#include "assets/SampleParameters.h"

namespace {

bool WriteBytes(const std::string& folder, const char* name, const std::vector<std::uint8_t>& bytes)
{
    std::string path = folder + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "vorlix-mkassets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlix-mkassets FONT_SOURCE OUTPUT_FOLDER\n");
        return 2;
    }
    CFontSheet sheet;
    std::string error;
    if (!sheet.ParseFile(argv[1], error)) {
        std::fprintf(stderr, "vorlix-mkassets: %s\n", error.c_str());
        return 1;
    }

    namespace sp = SampleParameters;
    std::vector<std::uint8_t> slow = CSampleSynth::Slow(sp::SLF);
    const std::string folder = argv[2];
    bool ok = WriteBytes(folder, "font.bin", CCharacterSet::Build(sheet)) &&
              WriteBytes(folder, "noise.snd", CSampleSynth::Noise(sp::NOISE)) &&
              WriteBytes(folder, "vco_hi.snd", CSampleSynth::Square(sp::VCO_HI)) &&
              WriteBytes(folder, "vco_lo.snd", CSampleSynth::Square(sp::VCO_LO)) &&
              WriteBytes(folder, "slf.snd", slow) &&
              WriteBytes(folder, "vco_slf.snd", CSampleSynth::Sweep(sp::VCO_SLF, slow));
    return ok ? 0 : 1;
}
