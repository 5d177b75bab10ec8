// Converting a photo table of 500 photos of 1600 x 1200 pixels to photo files with
// ConvertAllToFiles, beside the sqlcipher shell doing the same work in the same run: writing
// the same blobs to files with writefile() and clearing the column, in one transaction, with
// the engine's default settings. The shell neither decodes the pictures nor flushes its files
// to disk; ours must, as a row loses its copy only once its file is durable. Also the peak
// memory of the conversion.
#include <stdlib.h>
#include <sys/resource.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_report.h"
#include "photo_bench_table.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::bench {

namespace {

constexpr int kPhotos = 500;
constexpr const char* kPassword = "bench";

// A photo table whose rows hold distinct 1600 x 1200 bitmaps.
data_access::ConnectionPtr BuildTable(const std::string& path) {
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path, kPassword));
    photo_store::CreatePhotoTable(connection);
    data_access::Recordset rows;
    rows.Open("SELECT * FROM Photos", connection, data_access::adOpenKeyset,
              data_access::adLockOptimistic);
    connection->BeginTrans();
    for (int index = 0; index < kPhotos; ++index) {
        QImage image(1600, 1200, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(index % 360, 100, 200));
        data_access::Bytes bytes = picture::Picture(image).ToBytes();
        rows.AddNew();
        rows.Fields()["PhotoCode"].SetValue(fmt::format("E{:04}", index));
        rows.Fields()["PhotoDescription"].SetValue("Portrait");
        rows.Fields()["PhotoGroup"].SetValue("EMP");
        for (std::size_t offset = 0; offset < bytes.size(); offset += 16384) {
            std::size_t length = std::min<std::size_t>(16384, bytes.size() - offset);
            rows.Fields()["Photo"].AppendChunk(
                data_access::Bytes(bytes.begin() + offset, bytes.begin() + offset + length));
        }
        rows.Update();
    }
    connection->CommitTrans();
    return connection;
}

double PeerSeconds(const std::string& database, const std::string& folder) {
    std::filesystem::create_directories(folder);
    std::string script = folder + ".sql";
    std::string command = fmt::format(
        "printf \"PRAGMA key='{}';\\nBEGIN;\\nSELECT count(writefile('{}/' || PhotoCode || '_' || "
        "PhotoDescription || '_' || PhotoGroup || '.vpc', Photo)) FROM Photos;\\n"
        "UPDATE Photos SET Photo = NULL;\\nCOMMIT;\\n\" | sqlcipher '{}' > /dev/null",
        kPassword, folder, database);
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("the sqlcipher shell failed");
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void RunPhotoConversionBench() {
    std::string folder = MakeBenchFolder();
    fmt::print(
        "Conversion to files: {} photos of 1600x1200 (5.5 MB each as bitmaps), keyed files\n",
        kPhotos);
    data_access::ConnectionPtr peerTable = BuildTable(folder + "/peer.db");
    peerTable->Close();
    double peer = PeerSeconds(folder + "/peer.db", folder + "/peer-files");
    std::filesystem::remove_all(folder + "/peer-files");
    std::filesystem::remove(folder + "/peer.db");

    data_access::ConnectionPtr connection = BuildTable(folder + "/store.db");
    photo_store::CPicture store;
    photo_store::UsePhotoTable(store);
    store.SaveAsFile = true;
    store.PhotosFolder = folder + "/photos";
    long before = PeakResidentKb();
    bool converted = false;
    double ours = BestSeconds(1, [&] { converted = store.ConvertAllToFiles(connection); });
    long grownKb = PeakResidentKb() - before;
    double megabytes = kPhotos * 5760054.0 / (1024.0 * 1024.0);
    ReportThroughput(converted ? "  ConvertAllToFiles" : "  ConvertAllToFiles (FAILED)", megabytes,
                     ours, peer, "sqlcipher shell", 0.8);
    double decodedMb = 1600 * 1200 * 4 / (1024.0 * 1024.0);
    const char* verdict = RecordResult({"ConvertAllToFiles peak memory growth", grownKb / 1024.0, 0,
                                        "MB", grownKb / 1024.0, Below(3 * decodedMb)});
    fmt::print("  peak memory growth {:.1f} MB; three decoded pictures {:.1f} MB ({})\n",
               grownKb / 1024.0, 3 * decodedMb, verdict);
    std::filesystem::remove_all(folder);
    fmt::print("\n");
}

}  // namespace vesk::bench
