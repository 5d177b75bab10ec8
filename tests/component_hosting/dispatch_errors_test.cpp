// Calls a late-binding host may get wrong: each gives its dispatch error, never a crash.
#include <gtest/gtest.h>

#include "hosting_fixture.h"
#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting::testing {
namespace {

class DispatchErrors : public HostingTest {
protected:
    void SetUp() override {
        HostingTest::SetUp();
        m_photos = CreateObject(kPhotoClass);
    }

    // The result code of a call that must fail.
    template <typename Call>
    HRESULT FailureOf(Call&& call) {
        try {
            call();
        } catch (const ComError& error) {
            return error.Code();
        }
        ADD_FAILURE() << "the call succeeded";
        return S_OK;
    }

    // Invoke as it is, with `arguments` in declaration order; `argumentError` receives the
    // index of a wrong argument in rgvarg.
    HRESULT RawInvoke(const std::string& name, WORD flags, std::vector<Variant> arguments,
                      UINT& argumentError, EXCEPINFO& exception) {
        std::vector<VARIANT> raw;
        for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
            raw.push_back(argument->Raw());
        }
        DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
        Variant result;
        return m_photos.Dispatch()->Invoke(m_photos.IdOf(name), IID_NULL, 0, flags, &params,
                                           result.Receive(), &exception, &argumentError);
    }

    LateBoundObject m_photos;
};

TEST_F(DispatchErrors, UnknownNamesAndMembers) {
    EXPECT_EQ(FailureOf([&] { m_photos.Get("NoSuchProperty"); }), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(m_photos.IdOf("tablename"), m_photos.IdOf("TABLENAME"));

    // Parameter names are known by position; an unknown one is reported in its place.
    std::u16string init = u"Init", cnn = u"CNN", other = u"nothing";
    OLECHAR* names[] = {init.data(), cnn.data(), other.data()};
    DISPID ids[3] = {};
    EXPECT_EQ(m_photos.Dispatch()->GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], m_photos.IdOf("Init"));
    EXPECT_EQ(ids[1], 4);
    EXPECT_EQ(ids[2], DISPID_UNKNOWN);

    EXPECT_EQ(FailureOf([&] { m_photos.Invoke(999, DISPATCH_METHOD, {}); }), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(FailureOf([&] { m_photos.Put("DBConnection", "x"); }), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(FailureOf([&] { m_photos.Put("FirstRecord", 1); }), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchErrors, WrongArgumentCounts) {
    EXPECT_EQ(FailureOf([&] { m_photos.Call("Init", {"EMP001"}); }), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(FailureOf([&] { m_photos.Call("FirstRecord", {1}); }), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(FailureOf([&] {
                  m_photos.Call("LoadData", {true, false, true});
              }),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(
        FailureOf([&] { m_photos.Invoke(m_photos.IdOf("TableName"), DISPATCH_PROPERTYPUT, {}); }),
        DISP_E_BADPARAMCOUNT);
}

TEST_F(DispatchErrors, MissingArgumentThatIsNotOptional) {
    UINT argumentError = 99;
    EXCEPINFO exception{};
    EXPECT_EQ(RawInvoke("Init", DISPATCH_METHOD, {"EMP001", Variant::Missing()}, argumentError,
                        exception),
              DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(argumentError, 0u);  // the second argument stands first in rgvarg
}

TEST_F(DispatchErrors, WrongTypes) {
    UINT argumentError = 99;
    EXCEPINFO exception{};
    EXPECT_EQ(
        RawInvoke("CheckPicDiskSize", DISPATCH_METHOD, {std::int32_t{5}}, argumentError, exception),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 0u);
    EXPECT_EQ(FailureOf([&] { m_photos.Put("PhotosMaxSize", "many"); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(FailureOf([&] { m_photos.Put("MaxCodeLength", 1e12); }), DISP_E_OVERFLOW);
    EXPECT_EQ(FailureOf([&] { m_photos.Put("TableName", Variant::Null()); }), DISP_E_TYPEMISMATCH);
    // An object of another kind where a record set is wanted.
    Variant picture = m_photos.Get("Photo");
    EXPECT_EQ(FailureOf([&] {
                  m_photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), picture});
              }),
              DISP_E_TYPEMISMATCH);
    // Texts and numbers that read as the type are taken.
    m_photos.Put("MaxCodeLength", "12");
    m_photos.Put("PhotosMaxSize", std::int32_t{3});
    EXPECT_EQ(m_photos.Get("MaxCodeLength").Type(), VT_I4);
    EXPECT_EQ(m_photos.Get("MaxCodeLength").ToInt32(), 12);
    EXPECT_EQ(m_photos.Get("PhotosMaxSize").ToDouble(), 3.0);
}

TEST_F(DispatchErrors, FailuresInsideTheCallCarryTheirDescription) {
    UINT argumentError = 0;
    EXCEPINFO exception{};
    EXPECT_EQ(RawInvoke("FirstRecord", DISPATCH_METHOD, {}, argumentError, exception),
              DISP_E_EXCEPTION);
    EXPECT_FALSE(TextOf(exception.bstrDescription).empty());
    EXPECT_EQ(TextOf(exception.bstrSource), "_CPicture");
    FreeExcepInfo(&exception);

    try {
        m_photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), Variant::Missing(),
                               "no connection text"});
        FAIL() << "opened a connection from nonsense";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Code(), DISP_E_EXCEPTION);
        EXPECT_FALSE(error.Description().empty());
    }
    // The object is still usable.
    m_photos.Put("TableName", "Photos");
    EXPECT_EQ(m_photos.Get("TableName").ToText(), "Photos");
}

TEST_F(DispatchErrors, NamedArgumentsOnlyForThePutValue) {
    Variant value("Photos");
    VARIANT raw = value.Raw();
    DISPID named = 0;
    DISPPARAMS params{&raw, &named, 1, 1};
    EXPECT_EQ(m_photos.Dispatch()->Invoke(m_photos.IdOf("TableName"), IID_NULL, 0,
                                          DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    named = DISPID_PROPERTYPUT;
    EXPECT_EQ(m_photos.Dispatch()->Invoke(m_photos.IdOf("TableName"), IID_NULL, 0,
                                          DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
              S_OK);
}

}  // namespace
}  // namespace vesk::component_hosting::testing
