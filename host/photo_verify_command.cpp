#include "photo_verify_command.h"

#include <ostream>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/errors/error.h"
#include "vesk/photo_store/photo_table_check.h"

namespace vesk::host {

namespace {

struct VerifyOptions {
    bool fix = false;
    bool removeUnreadable = false;
};

constexpr const char* kVerifyHelp =
    "check a photo table (and with --files its folder): pictures that cannot be read, files no "
    "row owns, leftover temporary files, file names two rows share, descriptions equal ignoring "
    "letter case, owners with more than one default photo. Exit 1 when anything was found. "
    "Nothing is changed without --fix";

// Prints each finding and a summary; with --fix mends what can be mended and says what it did.
// Fails (exit 1) when anything was found, fixed or not, so that a clean run is plain.
void VerifyPhotos(const PhotoStoreOptions& options, const VerifyOptions& verify, Output& output) {
    PhotoStoreSession session(options);
    photo_store::PhotoTableCheck check(session.Store(), session.Connection());
    std::vector<photo_store::PhotoFinding> findings = check.Run();
    for (const photo_store::PhotoFinding& finding : findings) {
        output.out << finding.text << '\n';
    }
    output.out << fmt::format("Checked {} rows of {} and {} files: {}\n", check.RowsChecked(),
                              options.table, check.FilesChecked(),
                              findings.empty() ? std::string("no problems found")
                                               : fmt::format("{} problems found", findings.size()));
    if (verify.fix) {
        std::vector<std::string> done = check.Fix(findings, verify.removeUnreadable);
        for (const std::string& change : done) {
            output.out << "Fixed: " << change << '\n';
        }
        output.out << fmt::format("{} changes made\n", done.size());
    }
    if (!findings.empty()) {
        throw Error(
            fmt::format("{} problems found in the photos of {}", findings.size(), options.table));
    }
}

}  // namespace

void InstallPhotoVerifyCommand(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                               CommandAction& action) {
    auto verify = std::make_shared<VerifyOptions>();
    CLI::App* command = photo.add_subcommand("verify", kVerifyHelp);
    AddPhotoStoreOptions(*command, *options);
    CLI::Option* fix = command->add_flag(
        "--fix", verify->fix,
        "also mend what can be mended without losing a picture: remove leftover temporary files "
        "no run holds and clear an owner's extra default marks, keeping the first; files, names "
        "and descriptions are only reported");
    command
        ->add_flag("--remove-unreadable", verify->removeUnreadable,
                   "with --fix, also delete the rows whose picture cannot be read (a file of "
                   "theirs stays in the folder)")
        ->needs(fix);
    command->callback([&action, options, verify] {
        action = [options, verify](Output& output) { VerifyPhotos(*options, *verify, output); };
    });
}

}  // namespace vesk::host
