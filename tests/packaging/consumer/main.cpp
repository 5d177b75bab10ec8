// A program built against an installed Vesk alone: it repairs a new database against a
// template (which gives it a photo table), stores a picture in that table through the photo
// store and reads it back. Usage: consumer FOLDER PICTURE (FOLDER must exist and be empty).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/picture/picture.h"

namespace {

// Counts what a schema repair created.
class RepairTotals : public vesk::database_utilities::DatabaseUtilitiesEvents {
public:
    void ProcessDone(std::int16_t& tables, std::int16_t& fields) override {
        tablesCreated = tables;
        fieldsCreated = fields;
    }
    int tablesCreated = -1;
    int fieldsCreated = -1;
};

vesk::data_access::ConnectionPtr Open(const std::string& path, const std::string& password) {
    auto connection = std::make_shared<vesk::data_access::Connection>();
    connection->Open(vesk::data_access::EmbeddedConnectionText(path, password));
    return connection;
}

// Makes `path` keyed with `password`; with `withPhotos`, it gets the store's photo table.
void CreateDatabase(const std::string& path, const std::string& password, bool withPhotos) {
    vesk::database_utilities::DatabaseUtilities utilities;
    utilities.TemplatePWD = password;
    if (!utilities.CreateDatabase(path)) {
        throw std::runtime_error("cannot create " + path);
    }
    if (withPhotos) {
        Open(path, password)
            ->Execute(
                "CREATE TABLE Photos (PhotoCode Text (50), PhotoDescription Text (100), "
                "PhotoGroup Text (50), PhotoComments Memo, DefaultPhoto YESNO, "
                "Photo LONGBINARY)");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: consumer FOLDER PICTURE\n");
        return 2;
    }
    const std::string folder = argv[1];
    try {
        CreateDatabase(folder + "/template.mdb", "t'pw;", true);
        CreateDatabase(folder + "/pay.mdb", "pw", false);
        vesk::data_access::ConnectionPtr connection = Open(folder + "/pay.mdb", "pw");

        vesk::database_utilities::DatabaseUtilities utilities;
        RepairTotals totals;
        utilities.Advise(&totals);
        utilities.SetTemplateFilePath(folder + "/template.mdb");
        utilities.TemplatePWD = "t'pw;";
        utilities.MainFileConnection = connection;
        utilities.FixFields();
        utilities.Unadvise(&totals);

        vesk::photo_store::CPicture store;
        store.TableName = "Photos";
        store.OwnerIDField = "PhotoCode";
        store.OwnerDescField = "PhotoDescription";
        store.OwnerGroupField = "PhotoGroup";
        store.OwnerCommentsField = "PhotoComments";
        store.OwnerDefaultPhotoField = "DefaultPhoto";
        store.OwnerPhotoField = "Photo";
        store.Init("EMP001", "EMP", "Amara Okafor", nullptr, connection);
        store.SetPhotoDescription("Portrait");
        store.SetPhoto(vesk::picture::Picture::Load(argv[2]));
        store.SavePhotoDetails(true);
        const vesk::picture::Picture stored = store.GetPhoto("EMP", "EMP001", connection);
        std::printf("repair: %d tables, %d fields created; photo read back: %dx%d\n",
                    totals.tablesCreated, totals.fieldsCreated, stored.WidthPixels(),
                    stored.HeightPixels());
        return stored.Handle() != 0 && totals.tablesCreated == 1 ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "consumer: %s\n", error.what());
        return 1;
    }
}
