#include "app/command_line.h"

#include "app/program_path.h"
#include "app/rewrite_command.h"
#include "config/configuration_check.h"

namespace kiosk {

namespace {

constexpr const char* kUsage =
    "Использование:\n"
    "  %s                    киоск (окно, прокси, журнал)\n"
    "  %s --check [ФАЙЛ]     проверить конфигурацию (по умолчанию %s.cfg в текущей папке)\n"
    "  %s --rewrite URL [--body ФАЙЛ] [--config ФАЙЛ]\n"
    "                        показать, что скрипты делают со страницей: документ в stdout, ход в stderr\n";

CommandLine BadUsage(std::string problem) {
    CommandLine command;
    command.kind = CommandLine::Kind::BadUsage;
    command.problem = std::move(problem);
    return command;
}

CommandLine ParseCheck(const std::vector<std::string>& arguments) {
    if (arguments.size() > 2) return BadUsage("--check принимает не больше одного файла");
    CommandLine command;
    command.kind = CommandLine::Kind::Check;
    if (arguments.size() == 2) command.configurationFile = arguments[1];
    if (command.configurationFile.starts_with("--")) return BadUsage("неизвестный ключ " + arguments[1]);
    return command;
}

CommandLine ParseRewrite(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2 || arguments[1].starts_with("--")) return BadUsage("--rewrite требует URL");
    CommandLine command;
    command.kind = CommandLine::Kind::Rewrite;
    command.url = arguments[1];
    for (size_t i = 2; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        std::string* value = option == "--body"     ? &command.bodyFile
                             : option == "--config" ? &command.configurationFile
                                                    : nullptr;
        if (value == nullptr) return BadUsage("неизвестный ключ " + option);
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return BadUsage(option + " требует файл");
        *value = arguments[i + 1];
    }
    return command;
}

// The file the loader reads, and the program name its messages use: the file's own name when it ends
// in ".cfg", as the program that reads it at start-up would be called.
struct ConfigurationName {
    std::string path;
    std::string programName;
};

ConfigurationName ChooseConfiguration(const std::string& file, const std::string& programName) {
    if (file.empty()) return {programName + ".cfg", programName};
    const std::string name = SplitProgramPath(file).name;
    if (file.ends_with(".cfg")) return {file, name};
    return {file, programName};
}

std::string Usage(const std::string& programName) {
    std::string text = kUsage;
    for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at))
        text.replace(at, 2, programName);
    return text;
}

int RunCheck(const ConfigurationName& configuration, const ProgramPath& program, std::ostream& out) {
    const std::vector<CheckFinding> findings =
        CheckConfiguration(configuration.path, {configuration.programName, program.directory, {}});
    bool failed = false;
    for (const CheckFinding& finding : findings) {
        out << FindingText(finding) << '\n';
        failed = failed || finding.error;
    }
    if (findings.empty()) out << configuration.path << ": ошибок нет\n";
    return failed ? 1 : 0;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return {};
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
        CommandLine command;
        command.kind = CommandLine::Kind::Help;
        return command;
    }
    if (first == "--check") return ParseCheck(arguments);
    if (first == "--rewrite") return ParseRewrite(arguments);
    return BadUsage("неизвестный ключ " + first);
}

std::optional<int> RunOperatorTool(const CommandLine& command, const std::string& executablePath,
                                   std::ostream& out, std::ostream& err) {
    const ProgramPath program = SplitProgramPath(executablePath);
    const ConfigurationName configuration = ChooseConfiguration(command.configurationFile, program.name);
    switch (command.kind) {
        case CommandLine::Kind::Kiosk:
            return std::nullopt;
        case CommandLine::Kind::Help:
            out << Usage(program.name);
            return 0;
        case CommandLine::Kind::Check:
            return RunCheck(configuration, program, out);
        case CommandLine::Kind::Rewrite:
            return RunRewriteCommand(
                {command.url, command.bodyFile, configuration.path, configuration.programName}, out, err);
        case CommandLine::Kind::BadUsage:
            break;
    }
    err << program.name << ": " << command.problem << "\n" << Usage(program.name);
    return 2;
}

}  // namespace kiosk
