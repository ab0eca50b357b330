#include "shell/CCommandLine.h"

#include <algorithm>

namespace {

bool IsOperand(const std::string& name) { return name.empty() || name[0] != '-'; }

}  // namespace

CCommandLine::CCommandLine(std::string program, std::string version, std::string summary, std::vector<Row> rows)
    : program(std::move(program)), version(std::move(version)), summary(std::move(summary)), rows(std::move(rows))
{
    this->rows.push_back({"--help", "", "show this help and exit"});
    this->rows.push_back({"--version", "", "show the version and exit"});
}

std::optional<int> CCommandLine::Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    given.clear();
    std::vector<const Row*> operands;
    for (const Row& row : rows)
        if (IsOperand(row.name))
            operands.push_back(&row);
    std::size_t nextOperand = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] ? argv[i] : "";
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || IsOperand(argument) || argument == "-") {
            if (nextOperand >= operands.size())
                return Bad(err, "unexpected argument " + argument);
            given.emplace_back(operands[nextOperand++]->name, argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const Row* row = Find(name);
        if (!row || IsOperand(name))
            return Bad(err, "unknown option " + name);
        std::string value;
        if (row->value.empty()) {
            if (equals != std::string::npos)
                return Bad(err, name + " takes no value");
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc && argv[i + 1]) {
            value = argv[++i];
        } else {
            return Bad(err, name + " needs a value " + row->value);
        }
        if (name == "--help") {
            out << Help();
            return 0;
        }
        if (name == "--version") {
            out << program << ' ' << version << '\n';
            return 0;
        }
        given.emplace_back(name, value);
    }
    return std::nullopt;
}

bool CCommandLine::Has(const std::string& name) const
{
    return std::any_of(given.begin(), given.end(), [&name](const auto& g) { return g.first == name; });
}

std::string CCommandLine::Value(const std::string& name) const
{
    for (auto it = given.rbegin(); it != given.rend(); ++it)
        if (it->first == name)
            return it->second;
    return {};
}

std::string CCommandLine::Help() const
{
    std::string usage = "usage: " + program + " [OPTION]...";
    std::size_t width = 0;
    for (const Row& row : rows) {
        if (IsOperand(row.name))
            usage += " [" + row.name + "]";
        width = std::max(width, row.name.size() + (row.value.empty() ? 0 : row.value.size() + 1));
    }
    std::string text = usage + "\n" + summary + "\n";
    // The options in the table's order, then the operands.
    for (const bool operands : {false, true}) {
        for (const Row& row : rows) {
            if (IsOperand(row.name) != operands)
                continue;
            std::string left = row.name + (row.value.empty() ? "" : " " + row.value);
            left.resize(width, ' ');
            text += "  " + left + "  " + row.help + "\n";
        }
    }
    return text;
}

const CCommandLine::Row* CCommandLine::Find(const std::string& name) const
{
    for (const Row& row : rows)
        if (row.name == name)
            return &row;
    return nullptr;
}

std::optional<int> CCommandLine::Bad(std::ostream& err, const std::string& message) const
{
    err << program << ": " << message << " (try --help)\n";
    return STATUS_BAD_ARGUMENTS;
}
