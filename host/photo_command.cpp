#include "photo_command.h"

#include <memory>
#include <ostream>
#include <stdexcept>

#include <fmt/format.h>

#include "connection_option.h"
#include "output_file.h"
#include "photo_conversion_command.h"
#include "photo_edit_command.h"
#include "photo_store_session.h"
#include "photo_verify_command.h"
#include "row_printer.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/transaction.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

struct OwnerOptions {
    std::string group;
    std::string code;
};

struct AddOptions {
    OwnerOptions owner;
    std::string description;
    std::string comments;
    bool isDefault = false;
    std::string image;
};

struct ListOptions {
    OwnerOptions owner;
    std::string format = "text";
    bool header = false;
};

struct GetOptions {
    OwnerOptions owner;
    std::string description;
    std::string out;
};

void AddOwnerOptions(CLI::App& command, OwnerOptions& owner) {
    command.add_option("--group", owner.group, "the owner's group")->required();
    command.add_option("--code", owner.code, "the owner's code")->required();
}

// The table and the index on its owner columns are made together, or neither is.
void CreateTable(const PhotoStoreOptions& options, Output& output) {
    data_access::ConnectionPtr connection = OpenDatabase(options.database);
    photo_store::CreatePhotoTable(connection, options);
    output.out << fmt::format("Created photo table {}\n", options.table);
}

// The description check and the save are one write of the photo table, so that two adds at
// once never store one description twice or two default marks; a failure anywhere leaves the
// table and the photo folder as they were.
void AddPhoto(const PhotoStoreOptions& options, const AddOptions& add, Output& output) {
    PhotoStoreSession session(options);
    session.Open(add.owner.code, add.owner.group);
    Picture picture = Picture::Load(add.image);
    std::string size = session.RequireWithinLimit(picture);
    data_access::Transaction writing(session.Connection(), options.table);
    session.RequireNewDescription(add.description);
    session.Save(add.description, add.comments, add.isDefault, picture);
    writing.Commit();
    output.out << fmt::format("Added \"{}\" for {} in group {} ({} KB in bitmap format)\n",
                              add.description, add.owner.code, add.owner.group, size);
}

// Every photo is listed; one whose picture cannot be read shows why instead of its size, and
// makes the command fail after the list.
void ListPhotos(const PhotoStoreOptions& options, const ListOptions& list, Output& output) {
    PhotoStoreSession session(options);
    session.Open(list.owner.code, list.owner.group);
    long unreadable = 0;
    RowWriter rows(output.out, {RowStyleNamed(list.format), list.header},
                   {"Position", "Description", "Default", "Comments", "Picture"});
    session.ForEachPhoto([&](long position, CPicture& store, const std::string& problem) {
        const Picture& photo = store.Photo();
        std::string picture = problem.empty()
                                  ? fmt::format("{}x{}", photo.WidthPixels(), photo.HeightPixels())
                                  : "unreadable: " + problem;
        unreadable += problem.empty() ? 0 : 1;
        rows.Row({{Cell::Bare, std::to_string(position)},
                  {Cell::Text, store.PhotoDescription()},
                  {Cell::Bare, store.DefaultPhoto() ? "1" : "0"},
                  {Cell::Text, store.PhotoComments()},
                  {Cell::Text, picture}});
    });
    rows.Finish();
    if (unreadable > 0) {
        throw Error(fmt::format("{} of the photos listed could not be read (see vesk photo verify)",
                                unreadable));
    }
}

void GetPhoto(const PhotoStoreOptions& options, const GetOptions& get, Output& output) {
    PhotoStoreSession session(options);
    Picture picture = session.Fetch(get.owner.code, get.owner.group, get.description);
    WriteOutput(get.out, PictureBytesFor(picture, get.out), output.out);
    if (get.out != "-") {
        output.out << fmt::format("Wrote {} ({}x{} pixels)\n", get.out, picture.WidthPixels(),
                                  picture.HeightPixels());
    }
}

void DeletePhoto(const PhotoStoreOptions& options, const AddOptions& target, Output& output) {
    PhotoStoreSession session(options);
    session.Open(target.owner.code, target.owner.group);
    session.Delete(target.description);
    output.out << fmt::format("Deleted \"{}\" of {} in group {}\n", target.description,
                              target.owner.code, target.owner.group);
}

// Adds a subcommand with the store options it uses; `run` is called with them.
CLI::App* AddPhotoSubcommand(CLI::App& photo, const std::string& name, const std::string& help,
                             std::shared_ptr<PhotoStoreOptions> options, CommandAction& action,
                             std::function<void(Output&)> run, unsigned uses = kPhotoFolder) {
    CLI::App* command = photo.add_subcommand(name, help);
    AddPhotoStoreOptions(*command, *options, uses);
    command->callback([&action, run] { action = run; });
    return command;
}

}  // namespace

void InstallPhotoCommands(CLI::App& app, CommandAction& action) {
    CLI::App* photo = app.add_subcommand("photo", "keep owners' photos in a photo table or folder");
    photo->require_subcommand(1);
    auto options = std::make_shared<PhotoStoreOptions>();
    auto add = std::make_shared<AddOptions>();
    auto list = std::make_shared<ListOptions>();
    auto get = std::make_shared<GetOptions>();

    AddPhotoSubcommand(
        *photo, "create-table", "create the photo table", options, action,
        [options](Output& output) { CreateTable(*options, output); }, kTableOnly);

    CLI::App* addCommand = AddPhotoSubcommand(
        *photo, "add", "add a photo from an image file", options, action,
        [options, add](Output& output) { AddPhoto(*options, *add, output); },
        kPhotoFolder | kSizeLimit);
    AddOwnerOptions(*addCommand, add->owner);
    addCommand->add_option("--description", add->description, "the photo's description")
        ->required();
    addCommand->add_option("--comments", add->comments, "comments on the photo");
    addCommand->add_flag("--default", add->isDefault, "make it the owner's default photo");
    addCommand
        ->add_option("image", add->image, "the image file (BMP, JPEG, PNG, GIF, ICO, WMF, EMF)")
        ->required();

    CLI::App* listCommand = AddPhotoSubcommand(
        *photo, "list", "list an owner's photos", options, action,
        [options, list](Output& output) { ListPhotos(*options, *list, output); });
    AddOwnerOptions(*listCommand, list->owner);
    AddRowFormatOptions(*listCommand, list->format, list->header);

    CLI::App* getCommand =
        AddPhotoSubcommand(*photo, "get", "write an owner's default photo", options, action,
                           [options, get](Output& output) { GetPhoto(*options, *get, output); });
    AddOwnerOptions(*getCommand, get->owner);
    getCommand->add_option("--description", get->description,
                           "the photo to write instead of the default");
    getCommand
        ->add_option("--out", get->out,
                     "the file to write, in the form its extension names (.bmp, .png, .jpg, "
                     ".ico; - writes the picture's own form to standard output)")
        ->required();

    CLI::App* deleteCommand =
        AddPhotoSubcommand(*photo, "delete", "delete one of an owner's photos", options, action,
                           [options, add](Output& output) { DeletePhoto(*options, *add, output); });
    AddOwnerOptions(*deleteCommand, add->owner);
    deleteCommand->add_option("--description", add->description, "the photo's description")
        ->required();

    InstallPhotoEditCommand(*photo, options, action);
    InstallPhotoConversionCommands(*photo, options, action);
    InstallPhotoVerifyCommand(*photo, options, action);
}

}  // namespace vesk::host
