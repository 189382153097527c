#include "config/loaded_configuration.h"

#include "config/config_loader.h"
#include "config/default_tables.h"

namespace kiosk {

std::unique_ptr<LoadedConfiguration> LoadFreshConfiguration(const std::string& path,
                                                            const std::string& programName,
                                                            const std::string& presetStart) {
    auto loaded = std::make_unique<LoadedConfiguration>();
    FillOptionTable(loaded->options);
    FillMailTable(loaded->mail);
    FillErrorTable(loaded->errors);
    FillOperatorTable(loaded->operators);
    if (!presetStart.empty()) loaded->options.SetValueAt(loaded->options.IndexOfName("start"), presetStart);
    loaded->error = LoadConfiguration(
        path, programName,
        {loaded->options, loaded->mail, loaded->errors, loaded->operators, loaded->scripts});
    return loaded;
}

}  // namespace kiosk
