// The photo part of `vesk demo`: generated portraits stored in both storage forms and read back.
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <filesystem>
#include <ostream>

#include <fmt/format.h>

#include "photo_command.h"
#include "photo_conversion_command.h"
#include "photo_store_session.h"

namespace vesk::host {

namespace {

const char* const kEmployeeCodes[] = {"EMP001", "EMP002", "EMP003", "EMP004"};

// A simple head-and-shoulders portrait in colours of its own for each employee.
Picture GeneratedPortrait(int index) {
    QImage image(240, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, 300);
    background.setColorAt(0, QColor::fromHsv((index * 80) % 360, 60, 235));
    background.setColorAt(1, QColor::fromHsv((index * 80 + 40) % 360, 90, 170));
    painter.fillRect(image.rect(), background);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((index * 80 + 200) % 360, 120, 110));
    painter.drawEllipse(QPointF(120, 320), 110, 110);  // shoulders
    painter.setBrush(QColor(224 - index * 25, 180 - index * 20, 150 - index * 15));
    painter.drawEllipse(QPointF(120, 130), 55, 68);  // face
    painter.end();
    return Picture(image);
}

void StorePortraits(const data_access::ConnectionPtr& connection, const PhotoStoreOptions& options,
                    Output& output) {
    photo_store::CreatePhotoTable(connection, options);
    for (int index = 0; index < 4; ++index) {
        PhotoStoreSession session(options, connection);
        session.Open(kEmployeeCodes[index], "EMP");
        session.Save("Portrait", "Generated for the demo", true, GeneratedPortrait(index));
    }
    PhotoStoreSession session(options, connection);
    session.Open("EMP001", "EMP");
    session.Save("Badge photo", "Second photo, not the default", false, GeneratedPortrait(7));
    output.out << fmt::format("Stored 5 portraits in table {} ({})\n", options.table,
                              options.filesFolder.empty() ? "pictures in the table"
                                                          : "pictures in " + options.filesFolder);
}

void ReadPortraitsBack(const data_access::ConnectionPtr& connection,
                       const PhotoStoreOptions& options, Output& output) {
    PhotoStoreSession session(options, connection);
    session.Open("EMP001", "EMP");
    session.ForEachPhoto([&](long position, CPicture& store, const std::string&) {
        output.out << fmt::format("  {} {}. {}{}: {}x{} pixels\n", store.PhotoCode(), position,
                                  store.PhotoDescription(),
                                  store.DefaultPhoto() ? " (default)" : "",
                                  store.Photo().WidthPixels(), store.Photo().HeightPixels());
    });
}

}  // namespace

void RunPhotoDemo(const data_access::ConnectionPtr& connection, const std::string& folder,
                  Output& output) {
    PhotoStoreOptions inTable;
    output.out << "\nPhotos\n";
    StorePortraits(connection, inTable, output);
    ReadPortraitsBack(connection, inTable, output);

    PhotoStoreOptions inFiles;
    inFiles.table = "PhotoFiles";
    inFiles.filesFolder = (std::filesystem::path(folder) / "photos").string();
    std::filesystem::remove_all(inFiles.filesFolder);
    StorePortraits(connection, inFiles, output);
    ReadPortraitsBack(connection, inFiles, output);

    PhotoStoreOptions converted = inTable;
    converted.filesFolder = (std::filesystem::path(folder) / "converted").string();
    std::filesystem::remove_all(converted.filesFolder);
    output.out << "Converting the Photos table to files and back:\n  ";
    ConvertPhotos(converted, true, connection, output);
    output.out << "  ";
    ConvertPhotos(converted, false, connection, output);

    PhotoStoreSession session(inTable, connection);
    std::string out = (std::filesystem::path(folder) / "EMP003.bmp").string();
    Picture portrait = session.Fetch("EMP003", "EMP", {});
    portrait.Save(out);
    output.out << fmt::format("Wrote the default photo of EMP003 to {}\n", out);
}

}  // namespace vesk::host
