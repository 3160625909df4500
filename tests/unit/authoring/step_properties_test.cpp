// The authoring property table against the runtime's record reader: a
// property the table says a kind keeps is exactly one the kind stores when
// its tag comes in a record.
#include "authoring/step_properties.h"

#include <set>

#include "datafile/compressed_file.h"
#include "framework/little_endian.h"
#include "steps/step_classes.h"
#include "unit/authoring/package_test_support.h"

namespace velmora::test {
namespace {

class StepPropertyTable : public PackageTest {
 protected:
  // Reads a record body holding `tag` with `value` into `step`, after the
  // name a file copy step needs (a kind without a name discards it).
  void ReadSingleTagRecord(CStep& step, const StepProperty& property, const std::string& value) {
    std::vector<std::uint8_t> tagged = {'N', 'A', 'M', 'E', 0,   6,   0, 0,
                                        0,   'A', '.', 'E', 'X', 'E', 0};
    tagged.insert(tagged.end(), property.tag, property.tag + 5);
    if (property.type == PropertyType::text) {
      const auto length = static_cast<std::uint32_t>(value.size() + 1);
      AppendU32(tagged, length);
      tagged.insert(tagged.end(), value.begin(), value.end());
      tagged.push_back(0);
    } else {
      tagged.insert(tagged.end(), {1, 0, 0, 0});
    }
    tagged.insert(tagged.end(), {'E', 'N', 'D', 'S', 0});
    tagged.resize(tagged.size() + 12);  // a file step's trailing fields

    const std::string path = MediaPath("record.bin");
    {
      CCompressedFile out;
      ASSERT_TRUE(out.Open(path, CFile::modeCreate | CFile::modeWrite));
      const std::uint8_t noData[4] = {};
      out.Write(noData, 4);
      out.SetCompressed(true);
      out.Write(tagged.data(), static_cast<std::uint32_t>(tagged.size()));
      out.Close();
    }
    CCompressedFile in;
    ASSERT_TRUE(in.Open(path, CFile::modeRead));
    in.SetCompressed(true);
    ASSERT_TRUE(step.ReadRecord(&in));
  }
};

TEST_F(StepPropertyTable, KindsKeepExactlyTheTagsTheirRecordsStore) {
  for (const StepClass& row : StepClasses()) {
    const char* className = row.ClassName();
    for (const StepProperty& property : StepProperties()) {
      std::unique_ptr<CStep> step = Step(className).step;
      const std::string value = std::string("value of ") + property.tag;
      ReadSingleTagRecord(*step, property, value);
      const bool stored = property.type == PropertyType::text ? GetText(*step, property) == value
                                                              : GetFlag(*step, property);
      EXPECT_EQ(stored, Keeps(*step, property)) << className << " " << property.tag;

      std::unique_ptr<CStep> fresh = Step(className).step;
      const bool set = property.type == PropertyType::text ? SetText(*fresh, property, value)
                                                           : SetFlag(*fresh, property, true);
      EXPECT_EQ(set, Keeps(*fresh, property)) << className << " " << property.key;
    }
  }
}

TEST_F(StepPropertyTable, NamesAreUniqueAndFindTheirProperty) {
  std::set<std::string> keys;
  std::set<std::string> tags;
  for (const StepProperty& property : StepProperties()) {
    EXPECT_TRUE(keys.insert(property.key).second) << property.key;
    EXPECT_TRUE(tags.insert(property.tag).second) << property.tag;
    EXPECT_EQ(FindPropertyByKey(property.key), &property);
    EXPECT_EQ(FindPropertyByTag(property.tag), &property);
  }
  EXPECT_EQ(FindPropertyByKey("prefix"), FindPropertyByKey("directory"));
  EXPECT_EQ(FindPropertyByKey("NAME"), nullptr);
  EXPECT_EQ(FindPropertyByTag("ENDS"), nullptr);
}

TEST_F(StepPropertyTable, ShortClassNamesCreateTheirClass) {
  for (const StepClass& names : StepClasses()) {
    EXPECT_EQ(StepClassFromManifestName(names.shortName), names.ClassName());
    EXPECT_EQ(StepClassFromManifestName(names.ClassName()), names.ClassName());
    std::unique_ptr<CStep> step = Step(names.ClassName()).step;
    ASSERT_NE(step, nullptr);
    EXPECT_STREQ(step->GetRuntimeClass()->m_lpszClassName, names.ClassName());
  }
  EXPECT_EQ(StepClassFromManifestName("CStepFile"), "");
  EXPECT_EQ(StepClassFromManifestName("File"), "");
}

}  // namespace
}  // namespace velmora::test
