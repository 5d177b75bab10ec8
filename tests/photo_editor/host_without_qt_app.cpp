// A plain C++ host that never makes a Qt application calls CPicture::EditPhoto: the library
// makes the one the dialog needs. With "--no-display" the host runs where there is no display
// and must get a clear error instead of an abort. Exits 0 when the host saw what it should.
#include <QApplication>
#include <QMetaObject>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include "photo_table.h"
#include "picture_files.h"
#include "qt_application.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace {

using vesk::photo_store::CPicture;

// Closes the editor as soon as it shows, from the application's own thread, once the library
// has made the application.
void CloseTheEditorWhenShown() {
    while (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            vesk::test::RunOnModal<vesk::photo_editor::frmPhoto>(
                [](auto& dialog) { dialog.close(); });
        },
        Qt::QueuedConnection);
}

vesk::data_access::ConnectionPtr PhotoDatabase(const vesk::test::ScratchFolder& folder) {
    vesk::data_access::Catalog catalog;
    auto connection =
        catalog.Create(vesk::data_access::EmbeddedConnectionText(folder.Path("pay.mdb"), ""));
    vesk::photo_store::CreatePhotoTable(connection);
    vesk::data_access::Recordset rows;
    rows.Open("SELECT * FROM Photos", connection, vesk::data_access::adOpenKeyset,
              vesk::data_access::adLockOptimistic);
    rows.AddNew();
    rows.Fields()["PhotoCode"].SetValue("E1");
    rows.Fields()["PhotoDescription"].SetValue("Portrait");
    rows.Fields()["PhotoGroup"].SetValue("EMP");
    rows.Fields()["DefaultPhoto"].SetValue(true);
    rows.Fields()["Photo"].AppendChunk(
        vesk::test::QtEncoded(vesk::test::PatternImage(33, 22), "bmp"));
    rows.Update();
    return connection;
}

int Fail(const std::string& why) {
    std::cerr << why << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool noDisplay = argc > 1 && std::strcmp(argv[1], "--no-display") == 0;
    if (noDisplay) {
        unsetenv("QT_QPA_PLATFORM");
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    vesk::test::ScratchFolder folder;
    CPicture picture;
    vesk::photo_store::UsePhotoTable(picture);
    auto connection = PhotoDatabase(folder);
    if (noDisplay) {
        try {
            picture.EditPhoto("EMP", "E1", "Jane Smith", connection);
        } catch (const std::exception& error) {
            return std::strstr(error.what(), "no display") != nullptr ? 0 : Fail(error.what());
        }
        return Fail("EditPhoto went on without a display");
    }
    if (QCoreApplication::instance() != nullptr) {
        return Fail("the host already runs a Qt application");
    }
    std::thread closer(CloseTheEditorWhenShown);
    vesk::picture::Picture shown = picture.EditPhoto("EMP", "E1", "Jane Smith", connection);
    closer.join();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return Fail("no widget application was made");
    }
    return shown.WidthPixels() == 33 ? 0 : Fail("the editor returned another picture");
}
