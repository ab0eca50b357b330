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

    // Runs each '\n'-separated line through the interpreter and returns the screen text
    // they produced, with line ends as '\n'.
    std::string Lines(const std::string& text);

    std::vector<std::uint8_t> arena = std::vector<std::uint8_t>(0x7500);
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(65536);
    std::string screen, printer;
    int printJobs = 0;
    std::deque<std::string> typed;  // answers for INPUT
    int breakAfter = -1;            // Ctrl+C at this many break checks
    std::vector<std::pair<int, int>> outs;
    std::map<std::string, std::vector<std::uint8_t>> files;
    bool dosPresent = true, printerPresent = true;
    // Channel state.
    std::uint8_t buffer[256] = {};
    std::string openName;
    bool fileOpen = false, printerOpen = false;
    std::size_t readPos = 0;
};
