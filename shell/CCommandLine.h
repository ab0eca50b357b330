// The desktop program's command line, read from a table of rows: each option with the name of
// its value (if it takes one) and one line of help, and the operands (rows whose name has no
// leading dash, such as FILE). --help and --version come with every table; --help is written
// from the rows, so adding an option is adding a row. main() parses before anything starts.
//
//   CCommandLine line("vorlix", "1.1", "Runs the emulator.", {{"--zoom", "N", "show N times larger"}});
//   if (const auto status = line.Parse(argc, argv, std::cout, std::cerr)) return *status;
//   if (line.Has("--zoom")) zoom = line.Value("--zoom");
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

class CCommandLine {
public:
    struct Row {
        std::string name;   // "--no-sound"; an operand: "FILE"
        std::string value;  // the value's name ("N"), empty for a switch or an operand
        std::string help;   // one line
    };

    // Exit status of a bad command line.
    static constexpr int STATUS_BAD_ARGUMENTS = 2;

    CCommandLine(std::string program, std::string version, std::string summary, std::vector<Row> rows);

    // Reads the arguments after argv[0]. Values come as "--name VALUE" or "--name=VALUE"; "--"
    // makes everything after it an operand. Returns the exit status when the program is to end
    // here: 0 after --help or --version (written to out), 2 after one line on err for an
    // unknown option, a missing value or an argument too many. Nothing otherwise.
    std::optional<int> Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

    // Whether an option (or an operand row) was given, and its last value.
    bool Has(const std::string& name) const;
    std::string Value(const std::string& name) const;

    // The usage line, the summary and one line per row: the options, then the operands.
    std::string Help() const;

private:
    const Row* Find(const std::string& name) const;
    std::optional<int> Bad(std::ostream& err, const std::string& message) const;

    std::string program;
    std::string version;
    std::string summary;
    std::vector<Row> rows;
    std::vector<std::pair<std::string, std::string>> given;  // name and value, in order
};
