// The plain parts of the binary interface: identifiers, texts, value conversions, references,
// and the registry's text.
#include <gtest/gtest.h>

#include "vesk/component_hosting/argument_list.h"
#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/registry_file.h"
#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {
namespace {

TEST(Identifiers, TextFormRoundTrips) {
    const Guid id{0x0A1B2C3D, 0x4E5F, 0x0607, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};
    EXPECT_EQ(ToString(id), "{0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F7}");
    EXPECT_EQ(ParseGuid("{0a1b2c3d-4e5f-0607-8091-a2b3c4d5e6f7}"), id);
    EXPECT_EQ(ParseGuid("0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F7"), id);
    EXPECT_EQ(ToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
}

TEST(Identifiers, MalformedTextIsRejected) {
    for (const char* text :
         {"", "{}", "{0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F}",
          "{0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F77}", "{0A1B2C3D+4E5F-0607-8091-A2B3C4D5E6F7}",
          "{0A1B2C3G-4E5F-0607-8091-A2B3C4D5E6F7}"}) {
        EXPECT_FALSE(ParseGuid(text)) << text;
    }
}

TEST(Texts, CountedTextsKeepTheirLengthAndZeroCharacters) {
    const OLECHAR chars[] = {u'a', 0, u'b'};
    BSTR text = SysAllocStringLen(chars, 3);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(SysStringByteLen(text), 6u);
    EXPECT_EQ(text[3], 0);
    EXPECT_EQ(TextOf(text), std::string("a\0b", 3));
    SysFreeString(text);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(TextOf(nullptr), "");
    SysFreeString(nullptr);
}

TEST(Texts, Utf8AndUtf16ConvertBothWays) {
    const std::string text = "Zoë \xF0\x9F\x93\xB7 O'Brien";  // with a camera outside the BMP
    const std::u16string wide = ToUtf16(text);
    EXPECT_EQ(wide.size(), 14u);  // the camera is a surrogate pair
    EXPECT_EQ(ToUtf8(wide), text);
    EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");   // a lone surrogate
    EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");  // an overlong form
}

HRESULT ConvertedTo(const Variant& value, VARTYPE type, Variant& converted) {
    return ChangeType(*converted.Receive(), value.Raw(), type);
}

TEST(Values, ConvertAsLateBoundHostsDo) {
    Variant converted;
    ASSERT_EQ(ConvertedTo(Variant(true), VT_BSTR, converted), S_OK);
    EXPECT_EQ(converted.ToText(), "True");
    ASSERT_EQ(ConvertedTo(Variant(true), VT_I4, converted), S_OK);
    EXPECT_EQ(converted.Raw().lVal, -1);
    ASSERT_EQ(ConvertedTo(Variant(" 12.5 "), VT_I2, converted), S_OK);
    EXPECT_EQ(converted.Raw().iVal, 12);  // half to even
    ASSERT_EQ(ConvertedTo(Variant(13.5), VT_I4, converted), S_OK);
    EXPECT_EQ(converted.Raw().lVal, 14);
    ASSERT_EQ(ConvertedTo(Variant(2.25), VT_BSTR, converted), S_OK);
    EXPECT_EQ(converted.ToText(), "2.25");
    ASSERT_EQ(ConvertedTo(Variant(), VT_BSTR, converted), S_OK);
    EXPECT_EQ(converted.ToText(), "");
    EXPECT_EQ(ConvertedTo(Variant(std::int32_t{40000}), VT_I2, converted), DISP_E_OVERFLOW);
    EXPECT_EQ(ConvertedTo(Variant("12x"), VT_R8, converted), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ConvertedTo(Variant::Null(), VT_BSTR, converted), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ConvertedTo(Variant("x"), VT_DISPATCH, converted), DISP_E_TYPEMISMATCH);
    EXPECT_THROW(Variant("x").ToInt32(), ComError);
}

TEST(Values, ReferencesAreReadAndWrittenThrough) {
    Variant text("old");
    Variant number(std::int16_t{7});
    Variant empty;
    std::vector<VARIANT> raw = {Variant::Ref(empty).Raw(), Variant::Ref(number).Raw(),
                                Variant::Ref(text).Raw()};  // last argument first
    DISPPARAMS params{raw.data(), nullptr, 3, 0};
    const ArgumentList arguments(params);
    EXPECT_EQ(arguments.Get(0).ToText(), "old");
    EXPECT_EQ(arguments.Get(1).ToInt32(), 7);
    EXPECT_TRUE(arguments.IsByRef(1));

    EXPECT_EQ(arguments.Set(0, Variant("new text").Raw()), S_OK);
    EXPECT_EQ(arguments.Set(1, Variant("42").Raw()), S_OK);  // converted to the referenced type
    EXPECT_EQ(arguments.Set(2, Variant(2.5).Raw()), S_OK);   // a VARIANT reference takes any
    EXPECT_EQ(arguments.Set(1, Variant(1e9).Raw()), DISP_E_OVERFLOW);
    EXPECT_EQ(text.ToText(), "new text");
    EXPECT_EQ(number.Type(), VT_I2);
    EXPECT_EQ(number.ToInt32(), 42);
    EXPECT_EQ(empty.Type(), VT_R8);
    EXPECT_TRUE(arguments.IsMissing(3));
}

TEST(RegistryText, ParsesWhatItWritesAndKeepsSectionOrder) {
    RegistryFile file = RegistryFile::Parse(
        "# comment\nstray = line\n[ProgID A.B]\n  CLSID = {1} \n\n[TypeLib {2}]\nName=Lib\n"
        "Description = has = sign\n[ProgID A.B]\nExtra = 1\n");
    EXPECT_EQ(file.Value("ProgID A.B", "CLSID"), "{1}");
    EXPECT_EQ(file.Value("ProgID A.B", "Extra"), "1");
    EXPECT_EQ(file.Value("TypeLib {2}", "Description"), "has = sign");
    EXPECT_EQ(file.Value("TypeLib {2}", "Missing"), "");
    file.SetSection("CLSID {1}", {{"Name", "B"}});
    file.RemoveSection("TypeLib {2}");
    const RegistryFile again = RegistryFile::Parse(file.Text());
    EXPECT_EQ(again.Text(), file.Text());
    EXPECT_EQ(again.Sections("ProgID"), std::vector<std::string>{"ProgID A.B"});
    EXPECT_FALSE(again.Has("TypeLib {2}"));
    EXPECT_EQ(again.Value("CLSID {1}", "Name"), "B");
}

}  // namespace
}  // namespace vesk::component_hosting
