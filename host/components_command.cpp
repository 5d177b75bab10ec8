#include "components_command.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <memory>
#include <optional>
#include <ostream>

#include "row_printer.h"
#include "scoped_environment.h"
#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/component_library.h"
#include "vesk/component_hosting/registry.h"
#include "vesk/component_hosting/type_library_text.h"
#include "vesk/files/file_system.h"

// The identities of the component libraries this program links (their library_identity.cpp):
// an address in each library, to find its file by.
extern "C" {
const char* VeskPhotoTypeLibrary();
const char* VeskPayDBUtilitiesTypeLibrary();
const char* VeskDatabaseUtilitiesTypeLibrary();
}

namespace vesk::host {

namespace {

struct RegistrationOptions {
    std::vector<std::string> libraries;
    bool systemWide = false;
};

// Calls DllRegisterServer (or DllUnregisterServer) of each library, loaded on its own.
void RunRegistration(const RegistrationOptions& options, bool registering, Output& output) {
    const std::vector<std::string> libraries =
        options.libraries.empty() ? UsedComponentLibraries() : options.libraries;
    // The entry points take no arguments: they read Registry::RegistrationPath from the
    // environment.
    std::optional<ScopedEnvironment> systemWide;
    if (options.systemWide) {
        systemWide.emplace("VESK_REGISTER_SYSTEM_WIDE", "1");
    }
    for (const std::string& path : libraries) {
        const component_hosting::ComponentLibrary& library =
            component_hosting::ComponentLibrary::Load(path);
        component_hosting::ThrowIfFailed(registering ? library.Register() : library.Unregister(),
                                         (registering ? "Registering " : "Unregistering ") + path);
        const component_hosting::TypeLibraryDescription& description = library.Description();
        output.out << fmt::format("{} {} {}.{} ({})\n", registering ? "Registered" : "Unregistered",
                                  description.name, description.majorVersion,
                                  description.minorVersion, path);
    }
}

struct ListOptions {
    std::string format = "text";
    bool header = false;
};

void RunList(const ListOptions& options, Output& output) {
    const component_hosting::Registry registry;
    RowWriter rows(output.out, {RowStyleNamed(options.format), options.header},
                   {"ProgID", "CLSID", "Library"});
    for (const component_hosting::ClassRegistration& registered : registry.Classes()) {
        rows.Row({{Cell::Text, registered.programId},
                  {Cell::Text, component_hosting::ToString(registered.clsid)},
                  {Cell::Text, registered.libraryPath}});
    }
    rows.Finish();
}

void RunDescribe(const std::string& programId, Output& output) {
    const component_hosting::Registry registry;
    std::optional<component_hosting::ClassRegistration> registered =
        registry.FindProgramId(programId);
    if (!registered) {
        throw component_hosting::ComError(
            component_hosting::CO_E_CLASSSTRING,
            fmt::format("No class is registered as {} in {}", programId,
                        fmt::join(registry.Paths(), " or ")));
    }
    output.out << component_hosting::TypeLibraryText(
        component_hosting::ComponentLibrary::Load(registered->libraryPath).Description());
}

void InstallRegistration(CLI::App& components, CommandAction& action, bool registering) {
    auto options = std::make_shared<RegistrationOptions>();
    CLI::App* command = components.add_subcommand(
        registering ? "register" : "unregister",
        registering ? "add component libraries to the registry"
                    : "remove component libraries' entries from the registry");
    command->add_option("libraries", options->libraries,
                        "library files (default: the three libraries this program uses)");
    command->add_flag("--system", options->systemWide,
                      "the system-wide registry (" + component_hosting::Registry::SystemPath() +
                          ") instead of the user's");
    command->callback([options, registering, &action] {
        action = [options, registering](Output& output) {
            RunRegistration(*options, registering, output);
        };
    });
}

}  // namespace

std::vector<std::string> UsedComponentLibraries() {
    return {files::LibraryFile(reinterpret_cast<const void*>(&VeskPhotoTypeLibrary)),
            files::LibraryFile(reinterpret_cast<const void*>(&VeskPayDBUtilitiesTypeLibrary)),
            files::LibraryFile(reinterpret_cast<const void*>(&VeskDatabaseUtilitiesTypeLibrary))};
}

void InstallComponentsCommands(CLI::App& app, CommandAction& action) {
    CLI::App* components = app.add_subcommand(
        "components", "component libraries: registration, registered classes, type libraries");
    components->require_subcommand(1);
    InstallRegistration(*components, action, true);
    InstallRegistration(*components, action, false);
    auto list = std::make_shared<ListOptions>();
    CLI::App* listCommand = components->add_subcommand("list", "list the registered classes");
    AddRowFormatOptions(*listCommand, list->format, list->header);
    listCommand->callback(
        [list, &action] { action = [list](Output& output) { RunList(*list, output); }; });
    auto programId = std::make_shared<std::string>();
    CLI::App* describe =
        components->add_subcommand("describe", "print the type library of a registered class");
    describe->add_option("progid", *programId, "the class's program identifier")->required();
    describe->callback([programId, &action] {
        action = [programId](Output& output) { RunDescribe(*programId, output); };
    });
}

}  // namespace vesk::host
