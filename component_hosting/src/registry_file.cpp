#include "vesk/component_hosting/registry_file.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

RegistryFile RegistryFile::Parse(std::string_view text) {
    RegistryFile file;
    std::istringstream lines{std::string(text)};
    std::string raw;
    std::string section;  // empty before the first section head
    while (std::getline(lines, raw)) {
        const std::string_view line = TrimmedText(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = TrimmedText(line.substr(1, line.size() - 2));
            file.SectionEntries(section);
        } else if (const std::size_t equals = line.find('=');
                   !section.empty() && equals != std::string_view::npos) {
            file.SectionEntries(section).emplace_back(TrimmedText(line.substr(0, equals)),
                                                      TrimmedText(line.substr(equals + 1)));
        }
    }
    return file;
}

std::string RegistryFile::Text() const {
    std::string text =
        "# Vesk component registry: written by the component libraries' DllRegisterServer and\n"
        "# DllUnregisterServer, read by hosts that create objects by program identifier.\n";
    for (const auto& [section, entries] : m_sections) {
        text += "\n[" + section + "]\n";
        for (const auto& [key, value] : entries) {
            text += key + " = " + value + "\n";
        }
    }
    return text;
}

bool RegistryFile::Has(std::string_view section) const {
    return std::any_of(m_sections.begin(), m_sections.end(),
                       [section](const auto& held) { return held.first == section; });
}

std::string RegistryFile::Value(std::string_view section, std::string_view key) const {
    for (const auto& [name, entries] : m_sections) {
        if (name != section) {
            continue;
        }
        for (const auto& [entryKey, value] : entries) {
            if (entryKey == key) {
                return value;
            }
        }
    }
    return {};
}

RegistryFile::Entries& RegistryFile::SectionEntries(std::string_view section) {
    for (auto& [name, held] : m_sections) {
        if (name == section) {
            return held;
        }
    }
    return m_sections.emplace_back(std::string(section), Entries()).second;
}

void RegistryFile::SetSection(std::string_view section, Entries entries) {
    SectionEntries(section) = std::move(entries);
}

void RegistryFile::RemoveSection(std::string_view section) {
    std::erase_if(m_sections, [section](const auto& held) { return held.first == section; });
}

std::vector<std::string> RegistryFile::Sections(std::string_view kind) const {
    std::vector<std::string> names;
    const std::string prefix = std::string(kind) + " ";
    for (const auto& [name, entries] : m_sections) {
        if (name.starts_with(prefix)) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace vesk::component_hosting
