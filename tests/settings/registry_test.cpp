// The registry store, on Windows (or wine): values round-trip under any
// section name, and the section is the executable's name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kq/settings/keys.hpp"
#include "kq/settings/registry/registry_store.hpp"
#include "wide_text.hpp"

namespace kq::settings::registry {
namespace {

struct RegistryTest : ::testing::Test {
  const std::string section = "kq settings test " + std::to_string(GetCurrentProcessId()) + " [\xC3\xA9]=x";
  RegistryStore store;

  ~RegistryTest() override {
    const std::wstring path = L"Software\\KQ_REZ\\" + to_wide(section);
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
  }
};

TEST_F(RegistryTest, AWrittenValueReadsBackAndAMissingOneGivesTheDefault) {
  EXPECT_EQ(store.read(application, section, "MAIN_Left", 1000), "1000");
  store.write(application, section, "MAIN_Left", "1234.5");
  store.write(application, section, "k\xE6\x97\xA5", "v\xE6\x97\xA5");
  EXPECT_EQ(store.read(application, section, "MAIN_Left", 1000), "1234.5");
  EXPECT_EQ(store.read(application, section, "k\xE6\x97\xA5", 0), "v\xE6\x97\xA5");
  store.write(application, section, "MAIN_Left", "7");
  EXPECT_EQ(store.read(application, section, "MAIN_Left", 1000), "7");
}

TEST_F(RegistryTest, AValueOfAnotherTypeReadsAsTheDefault) {
  store.write(application, section, "MAIN_Left", "1");  // creates the key
  HKEY key = nullptr;
  const std::wstring path = L"Software\\KQ_REZ\\" + to_wide(section);
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD number = 5;
  RegSetValueExW(key, L"MAIN_Top", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(store.read(application, section, "MAIN_Top", 1000), "1000");
}

TEST(RegistrySection, IsTheExecutableNameWithoutExtension) {
  RegistryStore store;
  EXPECT_EQ(store.current_section(), "settings_registry_test");
}

TEST(WideText, EveryFileNameRoundTrips) {
  const std::wstring names[] = {L"plain", L"dritt\u00E9", L"\U0001F600 emoji", std::wstring(1, wchar_t(0xD800)) + L"lone",
                                L"end" + std::wstring(1, wchar_t(0xDFFF))};
  for (const std::wstring& name : names) EXPECT_EQ(to_wide(from_wide(name)), name);
  EXPECT_EQ(to_wide("\xFF"), L"\uFFFD");
  EXPECT_EQ(from_wide(L"dritt\u00E9"), "dritt\xC3\xA9");
}

}  // namespace
}  // namespace kq::settings::registry
