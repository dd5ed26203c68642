#include <gtest/gtest.h>

#include <string>

#include "kq/settings/ini/document.hpp"
#include "kq/settings/ini/escape.hpp"

namespace kq::settings::ini {
namespace {

using namespace std::string_literals;

// Names a program file may carry, each of which must come back unchanged.
const std::string awkward_names[] = {
    "KQ-REZ-V1",   "with blanks",  " leading and trailing ", "[bracketed]", "a]b",
    "x=y",         "back\\slash",  "\\x41",                   "semi;colon", "#hash",
    "dritt\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "\xFF\xFE not UTF-8", "nul\0byte"s,
    "tab\there",   "line\nbreak",  "cr\r",                    "",
};

TEST(Escape, EveryNameRoundTrips) {
  for (const std::string& name : awkward_names) {
    EXPECT_EQ(unescape(escape_section(name)), name);
    EXPECT_EQ(unescape(escape_key(name)), name);
    EXPECT_EQ(unescape(escape_value(name)), name);
  }
}

TEST(Escape, HandWrittenBackslashesStay) {
  EXPECT_EQ(unescape("C:\\Temp\\x"), "C:\\Temp\\x");
  EXPECT_EQ(unescape("\\x4"), "\\x4");
  EXPECT_EQ(unescape("\\x4a\\\\"), "J\\");
  EXPECT_EQ(escape_section("a]b\\"), "a\\x5Db\\\\");
  EXPECT_EQ(escape_key(" ;k=v "), "\\x20;k\\x3Dv\\x20");
  EXPECT_EQ(escape_value(" 1 2 "), "\\x201 2\\x20");
}

TEST(Document, EverySectionKeyAndValueRoundTripsThroughTheFile) {
  Document document;
  for (const std::string& name : awkward_names) document.set(name, name, name);
  const Document reread = Document::parse(document.render());
  for (const std::string& name : awkward_names) EXPECT_EQ(reread.get(name, name), name) << name;
  EXPECT_EQ(reread.entries().size(), std::size(awkward_names));
}

TEST(Document, AHandEditedFileKeepsEverythingButTheChangedLine) {
  const std::string edited =
      "; my settings, do not lose this\n"
      "stray line without equals\n"
      "\n"
      "[other program]\n"
      "MAIN_Left=5\n"
      "\n"
      "[KQ-REZ-V1]\n"
      "# positions\n"
      "  MAIN_Left = 200  \n"
      "Unknown_Key=kept\n"
      "[broken header\n"
      "\n"
      "[last]\n"
      "x=1";  // no newline at the end
  Document document = Document::parse(edited);
  ASSERT_EQ(document.render(), edited);
  EXPECT_EQ(document.get("KQ-REZ-V1", "MAIN_Left"), "200");
  EXPECT_EQ(document.get("other program", "MAIN_Left"), "5");

  document.set("KQ-REZ-V1", "MAIN_Left", "300");
  document.set("KQ-REZ-V1", "MAIN_Top", "400");
  document.set("new one", "AUTOSTART_TICKBOX", "0");
  document.set("last", "y", "2");
  EXPECT_EQ(document.render(),
            "; my settings, do not lose this\n"
            "stray line without equals\n"
            "\n"
            "[other program]\n"
            "MAIN_Left=5\n"
            "\n"
            "[KQ-REZ-V1]\n"
            "# positions\n"
            "MAIN_Left=300\n"
            "Unknown_Key=kept\n"
            "[broken header\n"
            "MAIN_Top=400\n"
            "\n"
            "[last]\n"
            "x=1\n"
            "y=2\n"
            "\n"
            "[new one]\n"
            "AUTOSTART_TICKBOX=0\n");
}

TEST(Document, WindowsLineEndingsAndAByteOrderMarkAreKept) {
  const std::string edited = "\xEF\xBB\xBF[KQ-REZ-V1]\r\nMAIN_Left=12\r\n";
  Document document = Document::parse(edited);
  EXPECT_EQ(document.render(), edited);
  EXPECT_EQ(document.get("KQ-REZ-V1", "MAIN_Left"), "12");
  document.set("KQ-REZ-V1", "MAIN_Top", "13");
  EXPECT_EQ(document.render(), "\xEF\xBB\xBF[KQ-REZ-V1]\r\nMAIN_Left=12\r\nMAIN_Top=13\r\n");
}

TEST(Document, TheFirstOfRepeatedSectionsAndKeysCounts) {
  Document document = Document::parse("[s]\nk=1\nk=2\n[t]\n[s]\nk=3\nj=4\n");
  EXPECT_EQ(document.get("s", "k"), "1");
  EXPECT_EQ(document.get("s", "j"), "4");
  document.set("s", "k", "9");
  document.set("s", "j", "8");
  document.set("s", "new", "7");
  EXPECT_EQ(document.render(), "[s]\nk=9\nk=2\nnew=7\n[t]\n[s]\nk=3\nj=8\n");
}

TEST(Document, GarbageReadsAsMissingAndSurvivesAWrite) {
  const std::string garbage[] = {
      "\0\xFF\x01[KQ-REZ-V1\x00]\n=\n==\n[\n]\n\r\r\r"s,
      std::string(1000, '\n'),
      "\xEF\xBB\xBF",
      "[KQ-REZ-V1] trailing\nMAIN_Left=5\n",
  };
  for (const std::string& bytes : garbage) {
    Document document = Document::parse(bytes);
    EXPECT_EQ(document.render(), bytes);
    EXPECT_EQ(document.get("KQ-REZ-V1", "MAIN_Left"), std::nullopt);
    document.set("KQ-REZ-V1", "MAIN_Left", "7");
    const std::string written = document.render();
    EXPECT_TRUE(written.starts_with(bytes));  // the garbage is kept ahead of the new section
    EXPECT_EQ(Document::parse(written).get("KQ-REZ-V1", "MAIN_Left"), "7");
  }
}

TEST(Document, ALoneCarriageReturnEndsALine) {
  // Old Mac line endings, alone or mixed with the others: each line is its
  // own entry, and a write changes only its own line.
  const std::string edited = "[KQ-REZ-V1]\rMAIN_Left=1440.0\rAUTOSTART_TICKBOX=0\n; note\r\nMAIN_Top=3";
  Document document = Document::parse(edited);
  EXPECT_EQ(document.render(), edited);
  EXPECT_EQ(document.get("KQ-REZ-V1", "MAIN_Left"), "1440.0");
  EXPECT_EQ(document.get("KQ-REZ-V1", "AUTOSTART_TICKBOX"), "0");
  EXPECT_EQ(document.get("KQ-REZ-V1", "MAIN_Top"), "3");
  EXPECT_TRUE(document.set("KQ-REZ-V1", "MAIN_Left", "5"));
  EXPECT_TRUE(document.set("KQ-REZ-V1", "ABOUT_Left", "6"));
  EXPECT_FALSE(document.set("KQ-REZ-V1", "ABOUT_Left", "6"));
  EXPECT_EQ(document.render(),
            "[KQ-REZ-V1]\rMAIN_Left=5\rAUTOSTART_TICKBOX=0\n; note\r\nMAIN_Top=3\rABOUT_Left=6\r");
}

TEST(Document, ALineAddedBeforeABlankLineKeepsIt) {
  // "\r" + "\n" would read as one ending and swallow the blank line.
  Document document = Document::parse("[s]\rk=1\n\n[t]\r");
  document.set("s", "j", "2");
  EXPECT_EQ(document.render(), "[s]\rk=1\nj=2\r\n\n[t]\r");
  EXPECT_EQ(document.get("s", "j"), "2");
}

}  // namespace
}  // namespace kq::settings::ini
