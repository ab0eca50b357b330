// A stand-in for the target machine under the BASIC interpreter core in host tests: it
// records screen and printer text, port writes and pokes, feeds typed lines, raises Ctrl+C
// on request and keeps an in-memory file store with the channel's 256-byte records.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

class ScriptedMachine {
public:
    ScriptedMachine();
    ~ScriptedMachine();
    ScriptedMachine(const ScriptedMachine&) = delete;
    ScriptedMachine& operator=(const ScriptedMachine&) = delete;

    static ScriptedMachine& Current();

    // Runs one line through the interpreter and returns the screen text it produced, with
    // line ends as '\n'.
    std::string Line(const std::string& text);
    // Several lines; returns the screen text of all of them.
    std::string Lines(const std::vector<std::string>& lines);

    std::vector<std::uint8_t> arena;
    std::string screen;
    std::string printer;
    int printJobs = 0;
    std::deque<std::string> typed;            // answers for INPUT
    int breakAfter = -1;                      // Ctrl+C at this many break checks
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(65536);
    std::vector<std::pair<int, int>> outs;
    std::map<std::string, std::vector<std::uint8_t>> files;
    bool dosPresent = true;
    bool printerPresent = true;

    // Channel state.
    std::uint8_t buffer[256] = {};
    std::string openName;
    bool openWrite = false;
    bool fileOpen = false;
    std::size_t readPos = 0;
    bool printerOpen = false;

private:
    static ScriptedMachine* current;
};

// The host name the file store makes of an 11-byte 8+3 name ("GAME    BAS" -> "GAME.BAS").
std::string HostNameOf(const std::uint8_t* name11);
