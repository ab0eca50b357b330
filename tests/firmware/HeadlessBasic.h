// What the tests that drive the machine's BASIC through the headless runner share, kept in one
// place because the BASIC changes: a working folder holding copies of the built ROM images,
// font and samples, the runner started there, and the few statements typed. The tests check
// files and exit statuses, not the BASIC's own wording.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "host/CRuntimeFolder.h"

namespace HeadlessBasic {

// A temporary working folder holding copies of the runtime files.
class RuntimeFolder : public TempFolder {
public:
    RuntimeFolder()
    {
        for (const std::string& name : CRuntimeFolder::Files())
            std::filesystem::copy_file(std::filesystem::path(VORLIX_RUNTIME) / name, Path() / name);
    }
};

// The BASIC statements the tests type: a program line, saving it under a name, listing it on
// the printer. The runner's typing turns the two characters \n into Enter.
inline std::string ProgramLine() { return "10 rem x\\n"; }
inline std::string Save(const std::string& name) { return "save \"" + name + "\"\\n"; }
inline std::string PrintListing() { return "llist\\n"; }

// Runs the headless runner in the working folder with the arguments (single-quoted here, so
// they must hold no single quote); its output goes to runner.out and runner.err. Returns
// the exit status, -1 when it did not end normally.
inline int RunHeadless(const std::vector<std::string>& arguments)
{
    std::string command = "'" VORLIX_HEADLESS "'";
    for (const std::string& a : arguments)
        command += " '" + a + "'";
    const int raw = std::system((command + " > runner.out 2> runner.err").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The arguments of a session from power-on: the settings, a second for the start-up, the
// typed text, then `frames` more.
inline std::vector<std::string> TypedArguments(const std::vector<std::string>& settings, const std::string& text,
                                               int frames = 150)
{
    std::vector<std::string> arguments;
    for (const std::string& s : settings)
        arguments.insert(arguments.end(), {"--set", s});
    arguments.insert(arguments.end(), {"--frames", "50", "--type", text, "--frames", std::to_string(frames)});
    return arguments;
}

// Runs a session from power-on (see TypedArguments).
inline int Typed(const std::vector<std::string>& settings, const std::string& text, int frames = 150)
{
    return RunHeadless(TypedArguments(settings, text, frames));
}

}  // namespace HeadlessBasic
