#include "photo_conversion_command.h"

#include <filesystem>
#include <ostream>
#include <stdexcept>

#include <fmt/format.h>

#include "progress_bar.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

struct ConversionOptions {
    std::string target;
    bool quiet = false;
};

struct ExtractOptions {
    std::string table;
    std::string group;
    std::string folder;
    bool quiet = false;
};

// Follows a conversion: the progress bar, and each row left as it was with the reason.
class ConversionReport : public photo_store::CPictureEvents {
public:
    explicit ConversionReport(Output& output) : m_bar(output) {}

    void ConversionProgress(std::string& msg, std::int32_t& Pos, std::int32_t& TotalRecs) override {
        m_bar.Show(Pos, TotalRecs, msg);
        if (msg == "Deleting old photo files...") {
            ++filesRemoved;
        } else {
            rowsWalked = Pos;
        }
    }
    // A row's problems come before its progress event: they belong to row rowsWalked + 1.
    void ErrorDescrption(std::string& sErrDescrption) override {
        problems.push_back(fmt::format("row {}: {}", rowsWalked + 1, sErrDescrption));
        if (rowsLeft.empty() || rowsLeft.back() != rowsWalked + 1) {
            rowsLeft.push_back(rowsWalked + 1);
        }
    }

    ProgressBar m_bar;
    long rowsWalked = 0;
    long filesRemoved = 0;
    std::vector<std::string> problems;
    std::vector<long> rowsLeft;  // each row with a problem, once
};

long PicturesInTable(const data_access::ConnectionPtr& connection,
                     const PhotoStoreOptions& options) {
    data_access::Recordset rows;
    rows.Open(fmt::format("SELECT count(*) FROM {} WHERE {} IS NOT NULL", options.table,
                          options.photoColumn),
              connection, data_access::adOpenStatic, data_access::adLockReadOnly);
    return static_cast<long>(rows.Fields().Item(0L).Value().ToInt64());
}

void Extract(const PhotoStoreOptions& options, const ExtractOptions& extract, Output& output) {
    std::error_code error;
    if (!std::filesystem::is_directory(extract.folder, error)) {
        throw Error(fmt::format(
            "nothing was extracted: the folder {} does not exist (make it first)", extract.folder));
    }
    PhotoStoreSession session(options);
    CPicture& store = session.Store();
    // Init gives the store its connection; the photo table itself need not exist here.
    store.Init({}, extract.group, {}, nullptr, session.Connection());
    data_access::ConnectionPtr connection = store.DBConnection();
    auto countRows = [&] {
        data_access::Recordset rows;
        rows.Open(fmt::format("SELECT count(*) FROM {} WHERE {} = '{}'", extract.table,
                              options.groupColumn, data_access::EscapeSqlText(extract.group)),
                  connection, data_access::adOpenStatic, data_access::adLockReadOnly);
        return static_cast<long>(rows.Fields().Item(0L).Value().ToInt64());
    };
    long before = countRows();
    std::string folder = extract.folder.ends_with('/') ? extract.folder : extract.folder + "/";
    store.ExtractToFiles(extract.table, extract.group, folder);
    long left = countRows();
    output.out << fmt::format("Extracted {} pictures of group {} from {} into {}\n", before - left,
                              extract.group, extract.table, folder);
    if (left > 0) {
        throw Error(fmt::format(
            "{} rows could not be extracted and were kept (a blank code, a code whose file is "
            "already in the folder, or a picture that could not be written)",
            left));
    }
}

// A blank folder would mean VskPhotos/ beside the photo library (or the root): refused as
// a usage error.
void RequireFolder(const std::string& option, const std::string& folder,
                   const std::string& operation) {
    if (folder.find_first_not_of(" \t") == std::string::npos) {
        throw CLI::ValidationError(
            option, operation + " needs a folder: give " + option + " FOLDER (not blank)");
    }
}

}  // namespace

void ConvertPhotos(const PhotoStoreOptions& options, bool toFiles,
                   const data_access::ConnectionPtr& connection, Output& output) {
    PhotoStoreSession session(options, connection);
    CPicture& store = session.Store();
    store.SaveAsFile = toFiles;
    ConversionReport report(output);
    store.Advise(&report);
    long before = PicturesInTable(connection, options);
    bool completed =
        toFiles ? store.ConvertAllToFiles(connection) : store.ConvertAllToBlobs(connection);
    store.Unadvise(&report);
    report.m_bar.Clear();
    if (!completed) {
        std::string reason = report.problems.empty() ? "" : ": " + report.problems.back();
        throw Error("The conversion stopped: the table " + options.table + " could not be walked" +
                    reason);
    }
    long after = PicturesInTable(connection, options);
    output.out << (toFiles
                       ? fmt::format("Converted {} rows: {} pictures moved to files in {}, {} rows "
                                     "left as they were\n",
                                     report.rowsWalked, before - after, store.PhotosFolder,
                                     report.rowsLeft.size())
                       : fmt::format(
                             "Converted {} rows: {} photo files stored in the table and removed, "
                             "{} rows left as they were\n",
                             report.rowsWalked, report.filesRemoved, report.rowsLeft.size()));
    // A quiet conversion still names every row it left, on the error stream.
    std::ostream& problems = output.quiet ? output.err : output.out;
    for (const std::string& problem : report.problems) {
        problems << "  " << problem << '\n';
    }
    if (!report.rowsLeft.empty()) {
        throw Error(fmt::format("{} rows were left as they were", report.rowsLeft.size()));
    }
}

void InstallPhotoConversionCommands(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                                    CommandAction& action) {
    auto conversion = std::make_shared<ConversionOptions>();
    CLI::App* convert =
        photo.add_subcommand("convert", "move every photo of the table to files or back");
    AddPhotoStoreOptions(*convert, *options);
    convert->add_option("--to", conversion->target, "files or blobs (--files FOLDER is required)")
        ->required()
        ->check(CLI::IsMember({"files", "blobs"}));
    AddQuietOption(*convert, conversion->quiet);
    convert->callback([&action, options, conversion] {
        RequireFolder("--files", options->filesFolder, "a conversion");
        action = [options, conversion](Output& output) {
            Output shown = QuietIf(conversion->quiet, output);
            ConvertPhotos(*options, conversion->target == "files", OpenDatabase(options->database),
                          shown);
        };
    });

    auto extract = std::make_shared<ExtractOptions>();
    CLI::App* extractCommand = photo.add_subcommand(
        "extract", "write the pictures of an older photo table to files named by code");
    AddPhotoStoreOptions(*extractCommand, *options, kTableOnly);
    extractCommand
        ->add_option("--from-table", extract->table, "the older table (PhotoCode, QualifierPhoto)")
        ->required();
    extractCommand->add_option("--group", extract->group, "the group whose rows are extracted")
        ->required();
    extractCommand->add_option("--into", extract->folder, "the folder for the files")->required();
    AddQuietOption(*extractCommand, extract->quiet);
    extractCommand->callback([&action, options, extract] {
        RequireFolder("--into", extract->folder, "an extraction");
        action = [options, extract](Output& output) {
            Output shown = QuietIf(extract->quiet, output);
            Extract(*options, *extract, shown);
        };
    });
}

}  // namespace vesk::host
