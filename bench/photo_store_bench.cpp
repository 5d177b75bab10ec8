// Saving and loading 100 photos of 1600 x 1200 pixels through the photo store, in table and in
// file storage, beside the same bitmap bytes written and read as blobs with the engine's own API
// and as plain files (each written file synced to disk, as the store does), in the same run.
// Also the peak memory of the store's passes.
#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_report.h"
#include "photo_bench_table.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::bench {

namespace {

constexpr int kPhotos = 100;
constexpr int kWidth = 1600;
constexpr int kHeight = 1200;
constexpr const char* kPassword = "bench";
constexpr const char* kCreateTable =
    "CREATE TABLE Photos (PhotoCode Text (50), PhotoDescription Text (100), PhotoGroup Text (50), "
    "PhotoComments Memo, DefaultPhoto YESNO, Photo LONGBINARY)";

using picture::Picture;

Picture MakePhoto(int index) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((index * 37) % 360, 120, 200));
    return Picture(image);
}

void Check(int result, sqlite3* db) {
    if (result != SQLITE_OK && result != SQLITE_DONE && result != SQLITE_ROW) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

// The peers: the bitmap bytes as blobs through the engine's API, and as plain files.
struct RawPeers {
    sqlite3* db = nullptr;
    std::string folder;

    RawPeers(const std::string& path, std::string fileFolder) : folder(std::move(fileFolder)) {
        Check(sqlite3_open(path.c_str(), &db), db);
        Check(sqlite3_key(db, kPassword, 5), db);
        Check(sqlite3_exec(db, kCreateTable, nullptr, nullptr, nullptr), db);
        std::filesystem::create_directories(folder);
    }
    ~RawPeers() { sqlite3_close(db); }

    void WriteBlobs(const std::vector<std::uint8_t>& bytes) {
        for (int index = 0; index < kPhotos; ++index) {
            sqlite3_stmt* insert = nullptr;
            Check(sqlite3_prepare_v2(db, "INSERT INTO Photos (PhotoCode, Photo) VALUES ('B1', ?)",
                                     -1, &insert, nullptr),
                  db);
            sqlite3_bind_blob(insert, 1, bytes.data(), static_cast<int>(bytes.size()),
                              SQLITE_STATIC);
            Check(sqlite3_step(insert), db);
            sqlite3_finalize(insert);
        }
    }

    std::size_t ReadBlobs() {
        std::size_t total = 0;
        sqlite3_stmt* select = nullptr;
        Check(sqlite3_prepare_v2(db, "SELECT Photo FROM Photos", -1, &select, nullptr), db);
        while (sqlite3_step(select) == SQLITE_ROW) {
            std::vector<std::uint8_t> bytes(
                static_cast<const std::uint8_t*>(sqlite3_column_blob(select, 0)),
                static_cast<const std::uint8_t*>(sqlite3_column_blob(select, 0)) +
                    sqlite3_column_bytes(select, 0));
            total += bytes.size();
        }
        sqlite3_finalize(select);
        return total;
    }

    // Each file is on disk before the next is written, as the store makes a photo file
    // durable before the row that names it is committed.
    void WriteFiles(const std::vector<std::uint8_t>& bytes) {
        for (int index = 0; index < kPhotos; ++index) {
            std::string path = folder + "/raw" + std::to_string(index) + ".bmp";
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 ||
                ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
                ::fsync(fd) != 0) {
                throw std::runtime_error("cannot write " + path);
            }
            ::close(fd);
        }
    }

    std::size_t ReadFiles() {
        std::size_t total = 0;
        for (int index = 0; index < kPhotos; ++index) {
            std::ifstream file(folder + "/raw" + std::to_string(index) + ".bmp", std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
            total += bytes.size();
        }
        return total;
    }
};

struct StorePass {
    double saveSeconds = 0;
    double loadSeconds = 0;
    long peakGrowthKb = 0;
};

StorePass RunStore(const std::string& path, const std::string& filesFolder,
                   const std::vector<Picture>& photos) {
    data_access::ConnectionPtr connection = CreatePhotoDatabase(path, kPassword);
    photo_store::CPicture store;
    photo_store::UsePhotoTable(store);
    store.SaveAsFile = !filesFolder.empty();
    store.PhotosFolder = filesFolder;
    store.Init("B1", "EMP", {}, nullptr, connection);
    StorePass pass;
    long before = PeakResidentKb();
    pass.saveSeconds = BestSeconds(1, [&] {
        for (int index = 0; index < kPhotos; ++index) {
            store.SetPhoto(photos[static_cast<std::size_t>(index % photos.size())]);
            store.SetPhotoDescription("Photo " + std::to_string(index));
            store.SavePhotoDetails(true);
        }
    });
    pass.loadSeconds = BestSeconds(1, [&] {
        store.FirstRecord();
        for (int index = 1; index < kPhotos; ++index) {
            store.NextRecord();
        }
    });
    pass.peakGrowthKb = PeakResidentKb() - before;
    return pass;
}

}  // namespace

void RunPhotoStoreBench() {
    std::string folder = MakeBenchFolder();
    std::vector<Picture> photos = {MakePhoto(1), MakePhoto(2)};
    std::vector<std::uint8_t> bitmap = photos[0].ToBytes();
    double megabytes = kPhotos * (static_cast<double>(bitmap.size()) / (1024.0 * 1024.0));
    fmt::print("Photo store: {} photos of {}x{} ({} bytes as bitmaps), keyed files\n", kPhotos,
               kWidth, kHeight, bitmap.size());

    StorePass table = RunStore(folder + "/table.db", {}, photos);
    StorePass files = RunStore(folder + "/files.db", folder + "/photos", photos);
    RawPeers peers(folder + "/raw.db", folder + "/raw");
    double blobWrite = BestSeconds(1, [&] { peers.WriteBlobs(bitmap); });
    double blobRead = BestSeconds(1, [&] { peers.ReadBlobs(); });
    double fileWrite = BestSeconds(1, [&] { peers.WriteFiles(bitmap); });
    double fileRead = BestSeconds(1, [&] { peers.ReadFiles(); });

    // Throughput ratios of 1/1.5 = 0.67 are the "within 1.5x" goals.
    ReportThroughput("  save, table storage", megabytes, table.saveSeconds, blobWrite, "blob API",
                     1 / 1.5);
    ReportThroughput("  load, table storage", megabytes, table.loadSeconds, blobRead, "blob API",
                     1 / 1.5);
    ReportThroughput("  save, file storage", megabytes, files.saveSeconds, fileWrite,
                     "synced files", 1 / 1.5);
    ReportThroughput("  load, file storage", megabytes, files.loadSeconds, fileRead, "plain files",
                     1 / 1.5);
    double decodedKb = kWidth * kHeight * 4 / 1024.0;
    long peakKb = std::max(table.peakGrowthKb, files.peakGrowthKb);
    const char* verdict = RecordResult({"peak memory growth", peakKb / 1024.0, 0, "MB",
                                        peakKb / 1024.0, Below(3 * decodedKb / 1024.0)});
    fmt::print("  peak memory growth {:.1f} MB; three decoded pictures {:.1f} MB ({})\n",
               peakKb / 1024.0, 3 * decodedKb / 1024.0, verdict);
    std::filesystem::remove_all(folder);
    fmt::print("\n");
}

}  // namespace vesk::bench
