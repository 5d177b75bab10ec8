// Registration in the user's and the system-wide registry, and the libraries' use counts
// (DllCanUnloadNow).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hosting_fixture.h"
#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/component_library.h"

namespace vesk::component_hosting::testing {
namespace {

using Registration = HostingTest;

std::string Canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

TEST_F(Registration, RecordsClassLibraryAndTypeLibraryUnderTheDataFolder) {
    const Registry registry;
    EXPECT_EQ(registry.Path(), m_folder.Path("data") + "/vesk/components.reg");
    std::optional<ClassRegistration> photos = registry.FindProgramId(kPhotoClass);
    ASSERT_TRUE(photos);
    EXPECT_EQ(photos->libraryPath, Canonical(kPhotoLibrary));
    EXPECT_EQ(photos->threadingModel, "Apartment");
    EXPECT_EQ(photos->name, "CPicture");

    const RegistryFile file = registry.Read();
    std::optional<ClassRegistration> legacy = registry.FindProgramId(kLegacyClass);
    ASSERT_TRUE(legacy);
    const std::string typeLibrary = "TypeLib " + legacy->typeLibrary;
    EXPECT_EQ(file.Value(typeLibrary, "Name"), "VeskDatabaseUtilities");
    EXPECT_EQ(file.Value(typeLibrary, "Version"), "2.1");
    EXPECT_EQ(file.Value(typeLibrary, "Description"), "Vesk Database Utilities");
    EXPECT_EQ(registry.Classes().size(), 3u);
}

TEST_F(Registration, UnregisteringOneBuildLeavesTheOtherAndForeignEntries) {
    const Registry registry;
    registry.Update([](RegistryFile& file) {
        file.SetSection("ProgID Other.Thing", {{"CLSID", "x"}});
    });
    const std::string payTypeLibrary = registry.FindProgramId(kPayClass)->typeLibrary;

    ASSERT_EQ(ComponentLibrary::Load(kLegacyLibrary).Unregister(), S_OK);
    ASSERT_EQ(ComponentLibrary::Load(kLegacyLibrary).Unregister(), S_OK);  // absent: still fine

    EXPECT_FALSE(registry.FindProgramId(kLegacyClass));
    EXPECT_TRUE(registry.FindProgramId(kPayClass));
    EXPECT_TRUE(registry.FindProgramId(kPhotoClass));
    const RegistryFile file = registry.Read();
    EXPECT_TRUE(file.Has("ProgID Other.Thing"));
    EXPECT_EQ(file.Value("TypeLib " + payTypeLibrary, "Name"), "VeskPayDBUtilities");
    EXPECT_EQ(file.Sections("TypeLib").size(), 2u);
    try {
        CreateObject(kLegacyClass);
        FAIL() << "created an unregistered class";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Code(), CO_E_CLASSSTRING);
    }
    EXPECT_TRUE(CreateObject(kPayClass));
}

TEST_F(Registration, RegistryFileIsReplacedWholeWithoutLeftovers) {
    ASSERT_EQ(ComponentLibrary::Load(kPhotoLibrary).Register(), S_OK);  // again: same entries
    EXPECT_EQ(Registry().Classes().size(), 3u);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path("data") + "/vesk")) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"components.reg", "components.reg.lock"}));
}

TEST_F(Registration, SystemWideRegistryIsWrittenOnRequestAndReadAfterTheUsers) {
    const Registry registry;
    EXPECT_EQ(registry.Paths(),
              (std::vector<std::string>{m_folder.Path("data") + "/vesk/components.reg",
                                        m_folder.Path("config") + "/vesk/components.reg"}));
    ASSERT_EQ(ComponentLibrary::Load(kLegacyLibrary).Unregister(), S_OK);
    {
        host::ScopedEnvironment systemWide("VESK_REGISTER_SYSTEM_WIDE", "1");
        ASSERT_EQ(ComponentLibrary::Load(kLegacyLibrary).Register(), S_OK);
        ASSERT_EQ(ComponentLibrary::Load(kPhotoLibrary).Register(), S_OK);
    }
    const Registry system(Registry::SystemPath());
    EXPECT_EQ(system.Classes().size(), 2u);
    EXPECT_FALSE(Registry(Registry::DefaultPath()).FindProgramId(kLegacyClass));

    // The user's entry of a class comes first; a class only the system knows comes after.
    const std::string photoClass = ClassSection(system.FindProgramId(kPhotoClass)->clsid);
    system.Update([&](RegistryFile& file) {
        file.SetSection(photoClass, {{"InprocServer", "/nowhere/libVeskPhoto.so"}});
    });
    EXPECT_EQ(registry.FindProgramId(kPhotoClass)->libraryPath, Canonical(kPhotoLibrary));
    std::vector<std::string> programIds;
    for (const ClassRegistration& registered : registry.Classes()) {
        programIds.push_back(registered.programId);
    }
    EXPECT_EQ(programIds, (std::vector<std::string>{kPhotoClass, kPayClass, kLegacyClass}));
    EXPECT_EQ(registry.FindProgramId(kLegacyClass)->libraryPath, Canonical(kLegacyLibrary));
    EXPECT_TRUE(CreateObject(kLegacyClass));

    {
        host::ScopedEnvironment systemWide("VESK_REGISTER_SYSTEM_WIDE", "1");
        ASSERT_EQ(ComponentLibrary::Load(kLegacyLibrary).Unregister(), S_OK);
    }
    EXPECT_FALSE(registry.FindProgramId(kLegacyClass));
}

TEST_F(Registration, LibraryStaysInUseWhileObjectsOrLocksAreHeld) {
    const ComponentLibrary& photos = ComponentLibrary::Load(kPhotoLibrary);
    ASSERT_EQ(photos.CanUnloadNow(), S_OK);
    {
        LateBoundObject picture = CreateObject(kPhotoClass);
        EXPECT_EQ(photos.CanUnloadNow(), S_FALSE);
        // An object handed out by a call keeps the library in use after its maker has gone.
        LateBoundObject photo(picture.Get("Photo"));
        picture = LateBoundObject();
        EXPECT_EQ(photos.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(photos.CanUnloadNow(), S_OK);

    ComPtr<IClassFactory> factory =
        photos.ClassObject(*ParseGuid("{5AF3317C-741C-4C2D-BCFC-40E7523E8A47}"));
    EXPECT_EQ(photos.CanUnloadNow(), S_OK);  // a class object alone does not count
    ASSERT_EQ(factory->LockServer(1), S_OK);
    EXPECT_EQ(photos.CanUnloadNow(), S_FALSE);
    ASSERT_EQ(factory->LockServer(0), S_OK);
    EXPECT_EQ(photos.CanUnloadNow(), S_OK);
    EXPECT_EQ(factory->LockServer(0), S_OK);  // an unlock without a lock changes nothing
    ComPtr<IUnknown> created;
    ASSERT_EQ(
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(created.Receive())),
        S_OK);
    EXPECT_EQ(photos.CanUnloadNow(), S_FALSE);
    created.Reset();
    EXPECT_EQ(photos.CanUnloadNow(), S_OK);
    // The other libraries count on their own.
    EXPECT_EQ(ComponentLibrary::Load(kPayLibrary).CanUnloadNow(), S_OK);
}

TEST_F(Registration, ClassObjectsAnswerOnlyForTheirOwnClass) {
    const ComponentLibrary& pay = ComponentLibrary::Load(kPayLibrary);
    const CLSID legacyClass = ComponentLibrary::Load(kLegacyLibrary).Description().classes[0].clsid;
    try {
        pay.ClassObject(legacyClass);
        FAIL() << "a class object for another library's class";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Code(), CLASS_E_CLASSNOTAVAILABLE);
    }
    ComPtr<IClassFactory> factory = pay.ClassObject(pay.Description().classes[0].clsid);
    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown,
                                      reinterpret_cast<void**>(object.Receive())),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory,
                                      reinterpret_cast<void**>(object.Receive())),
              E_NOINTERFACE);
    EXPECT_EQ(pay.CanUnloadNow(), S_OK);
}

TEST_F(Registration, ApplicationObjectIsOneInstanceThatTheLibraryKeeps) {
    const ComponentLibrary& photos = ComponentLibrary::Load(kPhotoLibrary);
    {
        LateBoundObject first = GetApplicationObject(kPhotoClass);
        first.Put("TableName", "Photos");
        EXPECT_EQ(photos.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(photos.CanUnloadNow(), S_OK);  // the library's own reference does not count
    EXPECT_EQ(GetApplicationObject(kPhotoClass).Get("TableName").ToText(), "Photos");
    try {
        GetApplicationObject(kPayClass);
        FAIL() << "the utilities have no application object";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Code(), CLASS_E_CLASSNOTAVAILABLE);
    }
}

}  // namespace
}  // namespace vesk::component_hosting::testing
