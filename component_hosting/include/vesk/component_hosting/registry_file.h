#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vesk::component_hosting {

// The text of the component registry: named sections of "key = value" entries, in file order.
//
//     # comment
//     [ProgID VeskPhotos.CPicture]
//     CLSID = {5AF3317C-741C-4C2D-BCFC-40E7523E8A47}
//
// Keys and section names are compared exactly. Blank lines, comments and lines that are
// neither a section head nor an entry of a section are dropped.
class RegistryFile {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    static RegistryFile Parse(std::string_view text);
    std::string Text() const;

    bool Has(std::string_view section) const;
    // The value of `key` in `section`; empty when either is absent.
    std::string Value(std::string_view section, std::string_view key) const;
    // Replaces the section's entries, or adds the section at the end.
    void SetSection(std::string_view section, Entries entries);
    void RemoveSection(std::string_view section);
    // The names of the sections whose name is `kind` + " " + something, in file order.
    std::vector<std::string> Sections(std::string_view kind) const;

private:
    // The entries of `section`, added (empty) at the end when absent.
    Entries& SectionEntries(std::string_view section);

    std::vector<std::pair<std::string, Entries>> m_sections;
};

}  // namespace vesk::component_hosting
