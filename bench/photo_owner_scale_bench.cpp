// One owner's photos in a photo table of 200,000 rows made as `vesk photo create-table` makes
// it (with its owner index): listing, loading and saving one owner's photos, each beside the
// engine's own read of that owner's rows in the same run. The goal is 50 ms an operation.
#include <sqlite3.h>

#include <QImage>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_report.h"
#include "photo_bench_table.h"
#include "photo_store_session.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/transaction.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::bench {

namespace {

constexpr int kRows = 200000;
constexpr int kPhotosPerOwner = 4;
constexpr int kRounds = 5;
constexpr double kGoalMilliseconds = 50;
constexpr const char* kPassword = "bench";
constexpr const char* kOwner = "E25000";

// The table and its index as the host command makes them, filled with kRows photo rows of
// kRows / kPhotosPerOwner owners, each with a small picture.
data_access::ConnectionPtr CreateScaledTable(const std::string& path) {
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path, kPassword));
    photo_store::CreatePhotoTable(connection);
    connection->Execute(NumberedRowsInsert(
        "Photos",
        fmt::format("'E' || (i / {0}), 'Photo ' || (i % {0}), 'EMP', 'bench', i % {0} = 0, "
                    "zeroblob(2000)",
                    kPhotosPerOwner),
        kRows));
    return connection;
}

// The engine's own read of the owner's rows, every column, through its API.
double EngineReadSeconds(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_key(db, kPassword, 5);
    double seconds = BestSeconds(kRounds, [&] {
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT * FROM Photos WHERE PhotoCode = 'E25000' AND PhotoGroup = "
                           "'EMP' ORDER BY PhotoCode",
                           -1, &select, nullptr);
        while (sqlite3_step(select) == SQLITE_ROW) {
        }
        sqlite3_finalize(select);
    });
    sqlite3_close(db);
    return seconds;
}

void Report(const std::string& what, double seconds, double engineSeconds) {
    double milliseconds = seconds * 1000;
    const char* verdict = RecordResult(
        {what, milliseconds, engineSeconds * 1000, "ms", milliseconds, Below(kGoalMilliseconds)});
    fmt::print("  {:<34} {:8.2f} ms (engine's own read {:6.2f} ms) goal < {:.0f} ms: {}\n", what,
               milliseconds, engineSeconds * 1000, kGoalMilliseconds, verdict);
}

}  // namespace

void RunPhotoOwnerScaleBench() {
    std::string folder = MakeBenchFolder();
    std::string path = folder + "/scale.db";
    data_access::ConnectionPtr connection = CreateScaledTable(path);
    fmt::print("Photo owner at scale: {} photo rows, {} per owner, keyed file\n", kRows,
               kPhotosPerOwner);
    photo_store::CPicture store;
    photo_store::UsePhotoTable(store);
    double listing = BestSeconds(kRounds, [&] {
        store.Init(kOwner, "EMP", {}, nullptr, connection);
        store.FirstRecord();
        while (!store.RecordEOF()) {
            store.NextRecord();
        }
    });
    double loading = BestSeconds(kRounds, [&] {
        store.Init(kOwner, "EMP", {}, nullptr, connection);
        store.LoadData(true);
    });
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::gray);
    int added = 0;
    double saving = BestSeconds(kRounds, [&] {
        data_access::Transaction writing(connection, "Photos");
        store.CheckIfDescriptionExists("Added " + std::to_string(added));
        store.UnSetDefaultPhoto(kOwner, {});
        store.SetPhotoDescription("Added " + std::to_string(added++));
        store.SetPhoto(picture::Picture(image));
        store.SetDefaultPhoto(true);
        store.SavePhotoDetails(true);
        writing.Commit();
    });
    double engine = EngineReadSeconds(path);
    Report("list one owner (open and walk)", listing, engine);
    Report("load the owner's default photo", loading, engine);
    Report("add a photo (check, mark, save)", saving, engine);
    connection->Close();
    std::filesystem::remove_all(folder);
    fmt::print("\n");
}

}  // namespace vesk::bench
