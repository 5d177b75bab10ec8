// Two processes adding photos to one owner at the same moment, through `vesk photo add`, on
// each engine and in both storage forms: what each add reports is what the table holds.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "command_registry.h"
#include "engine_param.h"
#include "scratch_folder.h"
#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/letter_case.h"
#include "vesk/data_access/recordset.h"

namespace vesk::host {
namespace {

constexpr int kAddsPerWriter = 30;

// What one add reported: its description and whether it succeeded.
struct AddOutcome {
    std::string description;
    bool isDefault = false;
    bool succeeded = false;
};

class PhotoWritersTest : public ::testing::TestWithParam<data_access::testing::Engine> {
protected:
    void SetUp() override {
        if (GetParam() == data_access::testing::Engine::Embedded) {
            m_database = m_folder.Path("pay.mdb");
            data_access::Catalog catalog;
            catalog.Create(data_access::EmbeddedConnectionText(m_database, ""));
        } else {
            auto cluster = data_access::testing::RequireServerCluster();
            if (!cluster) {
                return;
            }
            m_server = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
            m_database = m_server->ConnectionText();
        }
        ASSERT_EQ(Vesk({"photo", "create-table", "--db", m_database}), kSuccess);
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(QColor(10, 120, 200));
        m_image = m_folder.Path("small.png");
        image.save(QString::fromStdString(m_image));
    }

    static int Vesk(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        return RunCommandLine(arguments, {out, err});
    }

    // Writer `writer` adds its photos: every other one shares its description with the other
    // writer's (in other capitals), every fifth takes the default mark. Runs in a child process
    // and writes one line per add ("0|1 TAB 0|1 TAB description") to its report file.
    void Write(int writer, const std::vector<std::string>& storage) {
        std::ofstream report(ReportOf(writer));
        for (int add = 0; add < kAddsPerWriter; ++add) {
            std::string shared = writer == 0 ? "Straße " : "STRAßE ";
            std::string description =
                add % 2 == 0 ? shared + std::to_string(add)
                             : "Own " + std::to_string(writer) + "-" + std::to_string(add);
            bool isDefault = add % 5 == 0;
            std::vector<std::string> arguments = {
                "photo",  "add", "--db",          m_database,  "--group", "EMP",
                "--code", "E1",  "--description", description, m_image};
            arguments.insert(arguments.end(), storage.begin(), storage.end());
            if (isDefault) {
                arguments.push_back("--default");
            }
            bool succeeded = Vesk(arguments) == kSuccess;
            report << succeeded << '\t' << isDefault << '\t' << description << '\n';
        }
    }

    std::string ReportOf(int writer) const {
        return m_folder.Path("writer" + std::to_string(writer) + ".txt");
    }

    std::vector<AddOutcome> RunTwoWriters(const std::vector<std::string>& storage) {
        pid_t children[2];
        for (int writer = 0; writer < 2; ++writer) {
            children[writer] = ::fork();
            if (children[writer] == 0) {
                Write(writer, storage);
                ::_exit(0);
            }
        }
        std::vector<AddOutcome> outcomes;
        for (int writer = 0; writer < 2; ++writer) {
            int status = 0;
            ::waitpid(children[writer], &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer " << writer;
            std::ifstream report(ReportOf(writer));
            AddOutcome outcome;
            while (report >> outcome.succeeded >> outcome.isDefault &&
                   std::getline(report >> std::ws, outcome.description)) {
                outcomes.push_back(outcome);
            }
        }
        EXPECT_EQ(outcomes.size(), 2u * kAddsPerWriter);
        return outcomes;
    }

    // Each stored row as (description, default mark, picture bytes or file).
    std::vector<std::tuple<std::string, bool, long>> StoredRows() {
        data_access::Catalog catalog;
        catalog.SetActiveConnection(GetParam() == data_access::testing::Engine::Embedded
                                        ? data_access::EmbeddedConnectionText(m_database, "")
                                        : m_database);
        data_access::Recordset rows;
        rows.Open("SELECT PhotoDescription, DefaultPhoto, Photo FROM Photos",
                  catalog.ActiveConnection(), data_access::adOpenStatic,
                  data_access::adLockReadOnly);
        std::vector<std::tuple<std::string, bool, long>> stored;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            stored.emplace_back(rows.Fields()["PhotoDescription"].Value().ToText(),
                                rows.Fields()["DefaultPhoto"].Value().ToBool(),
                                static_cast<long>(rows.Fields()["Photo"].ActualSize()));
        }
        return stored;
    }

    void CheckOutcomes(const std::vector<AddOutcome>& outcomes, const std::string& files) {
        std::map<std::string, int> rowsByFold;
        int defaults = 0;
        for (const auto& [description, isDefault, size] : StoredRows()) {
            ++rowsByFold[data_access::FoldCase(description)];
            defaults += isDefault ? 1 : 0;
            if (files.empty()) {
                EXPECT_EQ(size, 654) << description << ": the picture is whole";
            } else {
                EXPECT_TRUE(std::filesystem::exists(files + "/E1_" + description + "_EMP.vpc"))
                    << description;
            }
        }
        std::map<std::string, int> successesByFold;
        for (const AddOutcome& outcome : outcomes) {
            std::string fold = data_access::FoldCase(outcome.description);
            successesByFold[fold] += outcome.succeeded ? 1 : 0;
            if (outcome.description.starts_with("Own")) {
                EXPECT_TRUE(outcome.succeeded) << outcome.description;
            }
        }
        for (const auto& [fold, successes] : successesByFold) {
            EXPECT_EQ(successes, 1) << fold << ": one add of each description succeeds";
            EXPECT_EQ(rowsByFold[fold], 1) << fold << ": and is stored once";
        }
        EXPECT_EQ(rowsByFold.size(), successesByFold.size()) << "no row that no add reported";
        EXPECT_EQ(defaults, 1) << "one default mark for the owner";
        if (!files.empty()) {
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files), {}),
                      static_cast<long>(rowsByFold.size()))
                << "one file per stored row, nothing left behind";
        }
    }

    test::ScratchFolder m_folder;
    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_server;
    std::string m_database;
    std::string m_image;
};

TEST_P(PhotoWritersTest, TwoProcessesAddingToOneOwnerInTableStorage) {
    if (m_database.empty()) {
        return;
    }
    CheckOutcomes(RunTwoWriters({}), {});
}

TEST_P(PhotoWritersTest, TwoProcessesAddingToOneOwnerInFileStorage) {
    if (m_database.empty()) {
        return;
    }
    std::string files = m_folder.Path("photos");
    CheckOutcomes(RunTwoWriters({"--files", files}), files);
}

VESK_ON_EACH_ENGINE(PhotoWritersTest);

}  // namespace
}  // namespace vesk::host
